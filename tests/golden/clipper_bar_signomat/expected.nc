;Piece mark
;NO.  Mark         Qty Length
;#1   C-1            2   1200
;Shape    L100X100X10
;Material S355
;Length   2500
;Tooling
;    FL               NL
;#1  22               26             
;#2  18               22             

INCH
TOOLS(Y1, 22, 0, 0)
TOOLS(Y2, 18, 0, 0)
TOOLS(Y3, 26, 0, 0)
TOOLS(Y4, 22, 0, 0)
MATERIAL(L, "L100X100X10", 2500)

N0: CHAR(C, 0, 1, 140, 20)
N2: CHAR(-, 0, 1, 148, 20)
N4: CHAR(1, 0, 1, 156, 20)
N6: PUNCH(Y1, 1, 370, 30)
N8: SHEAR(0, 1010)
N10: PUNCH(Y6, 1, 1160, 50)
N12: CHAR(C, 0, 1, 1345, 20)
N14: CHAR(-, 0, 1, 1353, 20)
N16: CHAR(1, 0, 1, 1361, 20)
N18: PUNCH(Y1, 1, 1575, 30)
N20: SHEAR(0, 2215)
N22: PUNCH(Y6, 1, 2365, 50)
N24: SHEAR(0, 3420)
N26: MOVE(X,  3572.4)
