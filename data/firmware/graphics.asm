; Dot graphics on the block-graphics screen (in the extension). The screen
; is a grid of 80 by 72 dots, two across and three down in every cell: dot
; (x,y) lies in row y\3 and column x\2 of the text screen, x counted from
; the left, y from the top. Column 0 of a row holding dots carries the
; code 17h that turns the rest of the row into block graphics, so x runs
; from 2 to 79 and y from 0 to 71; anything else is BAD ARGUMENT.
; A block cell is a byte with bit 5 set; its other bits light the six
; dots, top left first: bits 0 and 1 the top pair, 2 and 3 the middle
; pair, 4 and 6 the bottom pair.

; SETDOT x,y: the dot lights. A row that was text gets the switch in
; column 0 (whatever stood there is lost); a cell that held a letter or
; a sign (40h-5Fh) or a code becomes a block holding only this dot.
st_setdot:  inc de
            call dotargs
            ld a,(hl)
            and 77h
            cp 17h
            jr z,st_setdot_row
            ld (hl),17h
st_setdot_row:
            call dotcell
            ld a,(hl)
            bit 5,a
            jr nz,st_setdot_block
            ld a,20h
st_setdot_block:
            or c
            ld (hl),a
            jp nextstmt

; CLRDOT x,y: the dot goes dark. Rows without the switch and cells that
; are not blocks have no dots, so they stay as they are.
st_clrdot:  inc de
            call dotargs
            call dotfind
            jp z,nextstmt
            ld a,c
            cpl
            and (hl)
            ld (hl),a
            jp nextstmt

; DOT(x,y): 1 when the dot is lit, else 0.
fn_dot:     ld c,'('
            call need
            call dotargs
            call closeparen
            call dotfind
            ld hl,0
            jp z,intresult
            inc l
            jp intresult

; dotfind: HL at the dot's cell when its row carries the switch and the
; cell is a block; NZ when the dot is lit there, Z otherwise.
dotfind:    ld a,(hl)
            and 77h
            cp 17h
            jr nz,dotfind_none
            call dotcell
            ld a,(hl)
            bit 5,a
            jr z,dotfind_none
            and c
            ret
dotfind_none:
            xor a
            ret

; dotcell: HL := the cell in column B of the row that starts at HL.
dotcell:    ld a,l
            add a,b
            ld l,a
            ret nc
            inc h
            ret

; dotargs: "x,y" at DE: HL := column 0 of the dot's row, B := its column,
; C := its bit in the cell.
dotargs:    call getint
            ld a,h
            or a
            jp nz,err_argument
            ld a,l
            cp 2
            jp c,err_argument
            cp 80
            jp nc,err_argument
            push hl
            ld c,','
            call need
            call getint
            ld a,h
            or a
            jp nz,err_argument
            ld a,l
            cp 72
            jp nc,err_argument
            ld b,0FFh           ; B := y\3, A := y MOD 3
dotargs_div:
            inc b
            sub 3
            jr nc,dotargs_div
            add a,3
            add a,a
            pop hl
            srl l               ; L := x\2, carry := the right dot of the pair
            adc a,0
            push de
            ld d,l
            ld hl,dotbits
            add a,l
            ld l,a
            jr nc,dotargs_bit
            inc h
dotargs_bit:
            ld c,(hl)
            ld a,b
            ld b,d
            call rowaddr        ; uses DE
            pop de
            ret

dotbits:    db 01h, 02h, 04h, 08h, 10h, 40h
