;Piece mark
;NO.  Mark         Qty Length
;#1=   Q-9            1   800
;Shape    FL120X10
;Material S235
;Length   800
;Tooling
;    FL               NL
;#1  22               22             
;#2  18               18             
;#3  26               22X60-0        

INCH
TOOLS(Y1, 22, 0, 0)
TOOLS(Y2, 18, 0, 0)
TOOLS(Y3, 26, 0, 0)
TOOLS(Y4, 22, 0, 0)
TOOLS(Y5, 18, 0, 0)
TOOLS(Y6, 22X60-0, 0, 0)
MATERIAL(L, "FL120X10", 800)

CHAR(A, 0, 1, 150, 15)
CHAR(Z, 0, 1, 186, 15)
PUNCH(Y1, 1, 400, 70)
PUNCH(Y3, 1, 600, 44)
PUNCH(Y1, 1, 1000, 70)
PUNCH(Y5, 1, 1150, 35)
MOVE(X,  1302.4)
