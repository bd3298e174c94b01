/* The six entry points a CAM host calls. Plain C names, 8-bit strings in the
 * host's code page; the module never writes through the pointers. */
#ifndef BARPOST_HOST_BARPOST_H_
#define BARPOST_HOST_BARPOST_H_

/* The calling convention of the entry points: stdcall where it exists, which
 * is 32-bit x86 Windows (the callee pops its arguments). */
#if defined(_WIN32) && (defined(_M_IX86) || defined(__i386__))
#define BARPOST_CALL __stdcall
#else
#define BARPOST_CALL
#endif

#if defined(_WIN32)
#if defined(BARPOST_BUILDING_MODULE)
#define BARPOST_EXPORT __declspec(dllexport)
#else
#define BARPOST_EXPORT __declspec(dllimport)
#endif
#else
#define BARPOST_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Results. */
#define BARPOST_OK 0
#define BARPOST_SETUP_CANCELLED 1008 /* "Setup machine" cancelled, no program */
#define BARPOST_SOURCE_UNREADABLE 2004 /* Transmission: source cannot be opened */

/* Every entry point takes the module's lock: calls from several threads of a
 * host run one after the other. Each one may show dialogs and message boxes,
 * modally. Paths may use a backslash or '/'. A null pointer counts as "". The
 * environment variable BARPOST_LOG names a file that receives a record of
 * every call; BARPOST_UI chooses who answers the dialogs (gui, tty, auto,
 * cancel). */

/* Turns one CAM job file into one NC program.
 *   iniFile  the machine configuration (INI file); read first, written back last
 *   machine  the machine: the INI section that holds its options
 *   camFile  the CAM job file to read
 *   ncFile   the NC program to write; a file name starting with 'B' makes one
 *            program of the bars of the job, any other a program of its pieces
 *   repeat   decimal text; accepted, and replaced by each bar item's quantity
 *   arg6     decimal text; accepted and not used
 *   arg7     decimal text; accepted and not used
 * Returns BARPOST_OK when the program was handed to the writer (a program
 * that could not be written is told in a message box and the previous file
 * stays), BARPOST_SETUP_CANCELLED when "Setup machine" was cancelled or the
 * job was refused before it (a program path that is the job or the INI file,
 * an unreadable INI file, a machine name with a line break, '[' or ']'). The
 * name of the program is recorded under Nomfic in the machine's section. */
BARPOST_EXPORT int BARPOST_CALL Traitement(const char* iniFile, const char* machine,
                                           const char* camFile, const char* ncFile,
                                           const char* repeat, const char* arg6,
                                           const char* arg7);

/* Offers the bars of a job one after the other in "Setup machine" and writes
 * the program of the first one confirmed, in the current folder, named after
 * its bar numbers (000012_004).
 *   iniFile, machine  as for Traitement
 *   ncFile   the name shown in the message when a file cannot be written
 *   camFile  the CAM job file to read
 * Always returns BARPOST_OK. */
BARPOST_EXPORT int BARPOST_CALL Exportation(const char* iniFile, const char* machine,
                                            const char* ncFile, const char* camFile);

/* Copies a program into the machine's program folder (option Dir) as
 * <Nomfic>.MPF, every line ending with CR LF.
 *   iniFile, machine  as for Traitement
 *   sourceFile  the program to copy
 *   arg4, arg5, arg6  accepted and not read
 * Returns BARPOST_SOURCE_UNREADABLE when sourceFile cannot be opened, else
 * BARPOST_OK (a copy that cannot be written is told in a message box, and
 * the program already at the machine stays). */
BARPOST_EXPORT int BARPOST_CALL Transmission(const char* iniFile, const char* machine,
                                             const char* sourceFile, const char* arg4,
                                             const char* arg5, const char* arg6);

/* Shows the "Options" sheet for the machine; OK writes its section back,
 * Cancel leaves the INI file as it was.
 *   iniFile, machine  as for Traitement */
BARPOST_EXPORT void BARPOST_CALL Config_Export(const char* iniFile, const char* machine);

/* Only remembers the INI file and the machine; opens nothing, shows nothing.
 *   iniFile, machine  as for Traitement */
BARPOST_EXPORT void BARPOST_CALL Config_Transmission(const char* iniFile, const char* machine);

/* The first byte of text as a signed 8-bit number (0 for "" or null).
 *   text  any text */
BARPOST_EXPORT int BARPOST_CALL Identity(const char* text);

/* Function pointer types, for hosts that load the module at run time. */
typedef int(BARPOST_CALL* BarpostTraitementFn)(const char*, const char*, const char*,
                                               const char*, const char*, const char*,
                                               const char*);
typedef int(BARPOST_CALL* BarpostExportationFn)(const char*, const char*, const char*,
                                                const char*);
typedef int(BARPOST_CALL* BarpostTransmissionFn)(const char*, const char*, const char*,
                                                 const char*, const char*, const char*);
typedef void(BARPOST_CALL* BarpostConfigFn)(const char*, const char*);
typedef int(BARPOST_CALL* BarpostIdentityFn)(const char*);

#ifdef __cplusplus
}
#endif

#endif /* BARPOST_HOST_BARPOST_H_ */
