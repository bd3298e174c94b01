// Identifiers of the module's dialog templates and their controls
// (barpost.rc). The dialogs and the controls of "Setup machine" keep the
// numbers the line's hosts and documents know them by.
#ifndef BARPOST_UI_WIN32_RESOURCE_H_
#define BARPOST_UI_WIN32_RESOURCE_H_

// Dialog templates.
#define IDD_SETUP 2061
#define IDD_GENERAL 106
#define IDD_OFFSETS 2080
#define IDD_PUNCHING 2081
#define IDD_NIBBLING 2099
#define IDD_NESTING 109
#define IDD_MARKING 108
#define IDD_PROFILES 107

// "Setup machine": per unit row i (0..5) level, unit and size; per program
// row k (0..7) level and size; the status line.
#define IDC_SETUP_LEVEL1 2298   /* .. 2303 */
#define IDC_SETUP_UNIT1 2270    /* then 2281 .. 2285 */
#define IDC_SETUP_UNIT2 2281
#define IDC_SETUP_SIZE1 2286    /* .. 2291 */
#define IDC_PROGRAM_LEVEL1 2304 /* .. 2311 */
#define IDC_PROGRAM_SIZE1 2235  /* 2235 2236 2237, then 2240 .. 2244 */
#define IDC_PROGRAM_SIZE4 2240
#define IDC_SETUP_STATUS 2238
#define IDC_PROGRAM_SCROLL 2312 /* more than eight hole types */
#define IDC_PROGRAM_FIT1 2320   /* .. 2327: "fits" or "no unit" */
#define IDC_SETUP_SUMMARY 2330  /* how many hole types fit no unit, and which */

// The editable grid of "Punching" and "Nibbling".
#define IDC_GRID 2239

// "General".
#define IDC_QUADRANT1 1001 /* .. 1004 */
#define IDC_UNIT_CAM 1005  /* CAM, Millimeter, Inch */
#define IDC_CNC_SIEMENS 1008 /* Siemens 840Di, Fagor, Ocean Clipper */
#define IDC_LINE_NUMBERING 1011
#define IDC_LEVEL1 1020    /* .. 1025 */
#define IDC_AXIS1 1030     /* .. 1035 */
#define IDC_MFUNC1 1040    /* .. 1045 */
#define IDC_DIAMETER1 1050 /* .. 1055 */
#define IDC_CUTTING_MFUNC 1060
#define IDC_DIRECTORY 1061

// "Offsets".
#define IDC_TOOLX1 1100       /* .. 1105 */
#define IDC_CLAMP_OPEN1 1110  /* .. 1115 */
#define IDC_CLAMP_CLOSE1 1120 /* .. 1125 */
#define IDC_OFF_CUTTING 1130
#define IDC_OFF_MARKING 1131
#define IDC_OFF_GEARING 1132
#define IDC_OFF_ORIGIN_YZ 1133
#define IDC_SPEED 1134

// "Nibbling".
#define IDC_ROUGHNESS 1200

// "Nesting".
#define IDC_SC 1300
#define IDC_SP 1301
#define IDC_SL 1302
#define IDC_SRS 1303
#define IDC_TEC0 1304 /* 1304, 1305 */

// "Marking".
#define IDC_MARK_AUTO 1400
#define IDC_MARK_AUTO_PLM 1401
#define IDC_MARK_ALWAYS 1402
#define IDC_MARK_ASCENDING 1403 /* 1403, 1404 */
#define IDC_MARK_LEVEL0 1405    /* .. 1407 */
#define IDC_MARK_CONTRACT 1408
#define IDC_MARK_JOB 1409
#define IDC_MARK_DRAWING 1410
#define IDC_MARK_ASSEMBLY 1411
#define IDC_MARK_PART 1412
#define IDC_MARK_X 1413
#define IDC_MARK_Y 1414
#define IDC_MARK_XMIN 1415
#define IDC_MARK_NBCAR 1416
#define IDC_MARK_LGCAR 1417
#define IDC_MARK_HTCAR 1418
#define IDC_MARK_COD 1419
#define IDC_MARK_OFF 1420
#define IDC_MARK_SEP 1421
#define IDC_MARK_DEVICE0 1422 /* .. 1424 */
#define IDC_MARK_STRING 1425
#define IDC_MARK_X_LABEL 1426
#define IDC_MARK_Y_LABEL 1427

// "Profiles", per category i (0..19).
#define IDC_PROFILE_ENABLED1 1500 /* + i */
#define IDC_PROFILE_XSYM1 1520
#define IDC_PROFILE_YSYM1 1540
#define IDC_PROFILE_ROT1 1560
#define IDC_PROFILE_MARK1 1580
#define IDC_PROFILE_DEFAULT1 1600 /* + 4 * i + transformation (0..3) */
#define IDC_PROFILE_ORIGIN1 1680
#define IDC_PROFILE_PICTURE1 1700
#define IDC_PROFILE_HEADING1 1720 /* the ten column headings of a block: + 10 * block + column */

#endif  // BARPOST_UI_WIN32_RESOURCE_H_
