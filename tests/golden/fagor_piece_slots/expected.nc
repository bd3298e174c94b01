%00001
N2(Piece mark                            )
N4(NO.  Mark         Qty Length          )
N6(#1=   F-1            1   1000         )
N8(Shape    L100X100X10                  )
N10(Material S355                         )
N12(Length   1000                         )
N14(Lead End   0                          )
N16(Trail End  0                          )
N18(Tooling                               )
N20(    FL               NL               )
N22(#1  22               22               )
N24(#2  18               18               )
N26(#3  26               22X60-0          )
N28G71
N30G74X
N32G00
N34G90
N36.G74YZ
N38Y12.5Z12.5M26
N40G92X0
N42W=DC(150.00)X200
N44M20
N46W=DC(10.00)X208
N48M20
N50X350Y130M12
N52X750Y650M17
N54X936Y450M15
N56X942.557M15
N58X949.115M15
N60X955.672M15
N62X962.23M15
N64X964M15
N66X1189Y250M13
N68X1211M13
N70X1250M12
N72M30
