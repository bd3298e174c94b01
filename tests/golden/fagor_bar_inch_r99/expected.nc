%00001
N2(Piece mark                            )
N4(NO.  Mark         Qty Length          )
N6(#1   P-B            2   36            )
N8(#2   P-A            1   48            )
N10(Shape    L4X4X3/8                     )
N12(Material A572                         )
N14(Length   120                          )
N16(Lead End   0                          )
N18(Trail End  0                          )
N20(Tooling                               )
N22(    FL               NL               )
N24(#1  7/8              7/8              )
N26(#2  15/16            15/16            )
N28(#3  11/16            15/16X2.5-0      )
N30G70
N32G74X
N34G00
N36G90
N38.G74YZ
N40Y0.0000Z0.0000M26
N42G92X-0.2500
N44X7.0000Y11.5000M12
N46X20.0000M25
N48X24.0000Y42.0000M15
N50X25.0625M12
N52X38.0625M25
N54X42.0625M15
N56X47.1250Y23.0000M13
N58X56.1250M25
N60X80.1875M25
N62M30
