// Job texts shared by the tests of the CAM library.
#ifndef BARPOST_CAM_TEST_JOBS_H_
#define BARPOST_CAM_TEST_JOBS_H_

// The example of the job file documentation: two angles nested on one bar.
inline constexpr const char* kExampleJob = R"(# two angles nested on one bar
*JOB
JOB_NAM=2026-118 Hall B
*PIECE
PCE_NAM=A-12-3
PCE_PRF=L100X100X10
PCE_MAT=S355
PCE_QTY=2
COM_NAM=C118
DWG_NAM=D-101
ASS_NAM=A12
CATEGORY=Y
SECTION=100 100
LENGTH=2500
HOLE level=0 kind=0 d=22 x=100 y=40
HOLE level=1 kind=4 d=22 x=300 y=50 len=60 angle=0
MARK x=50 y=30 code=-1 text="@PCE_NAM"
*BAR
BAR_PRO=L100X100X10
BAR_MAT=S355
BAR_LEN=6000
BAR_SC=10
BAR_SL=3
BAR_BON=7
BAR_IDT=3
CATEGORY=Y
SECTION=100 100
ITEM com=C118 pce=A-12-3 dwg=D-101 ass=A12 length=2500 qty=2 turn=R
*END
)";

#endif  // BARPOST_CAM_TEST_JOBS_H_
