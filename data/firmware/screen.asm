; Screen output: the 40x24 text screen at 7C00h with a cursor, line wrap,
; scrolling, carriage return, backspace and form feed (clear screen). All
; other bytes, graphics switch codes and blinking characters among them, are
; stored as they are. putch also carries output to the printer card when
; outdev is 1, into the input line when it is 2 (EDIT), and to a data file
; of the Open DOS when it is 3 (PRINT #).

; rowaddr: HL := address of column 0 of row A (0-23). Uses DE.
rowaddr:    add a,a
            ld l,a
            ld h,0
            ld de,rowtable
            add hl,de
            ld e,(hl)
            inc hl
            ld d,(hl)
            ex de,hl
            ret

; curaddr: HL := address of the cursor cell. Uses DE.
curaddr:    ld a,(currow)
            call rowaddr
            ld a,(curcol)
            ld e,a
            ld d,0
            add hl,de
            ret

rowtable:   dw screen+0*128+0*40, screen+1*128+0*40, screen+2*128+0*40, screen+3*128+0*40
            dw screen+4*128+0*40, screen+5*128+0*40, screen+6*128+0*40, screen+7*128+0*40
            dw screen+0*128+1*40, screen+1*128+1*40, screen+2*128+1*40, screen+3*128+1*40
            dw screen+4*128+1*40, screen+5*128+1*40, screen+6*128+1*40, screen+7*128+1*40
            dw screen+0*128+2*40, screen+1*128+2*40, screen+2*128+2*40, screen+3*128+2*40
            dw screen+4*128+2*40, screen+5*128+2*40, screen+6*128+2*40, screen+7*128+2*40

; cls: blank the whole video block and home the cursor.
cls:        push hl
            push de
            push bc
            ld hl,screen
            ld de,screen+1
            ld bc,1023
            ld (hl),' '
            ldir
            xor a
            ld (currow),a
            ld (curcol),a
            pop bc
            pop de
            pop hl
            ret

; putch: write character A to the current output device (outdev 0 the
; screen, 1 the printer, 2 the input line being made by EDIT). Keeps BC,
; DE, HL.
putch:      push hl
            push de
            push bc
            ld c,a
            ld a,(outdev)
            or a
            jr nz,putch_printer
            ld a,c
            cp 0Dh
            jr z,putch_newline
            cp 08h
            jr z,putch_backspace
            cp 0Ch
            jr z,putch_clear
            ld a,(curcol)
            cp scrcols
            call z,newline
            call curaddr
            ld (hl),c
            ld hl,curcol
            inc (hl)
            jr putch_done
putch_newline:
            call newline
            jr putch_done
putch_backspace:
            call backspace
            jr putch_done
putch_clear:
            call cls
            jr putch_done
putch_printer:
            dec a
            jr z,putch_lpt
            dec a
            jp z,putch_buffer   ; 2: into the input line (EDIT)
            ld a,c              ; 3: the file PRINT # writes to
            call 6035h          ; the Open DOS takes the byte
            jr putch_col
putch_lpt:  ld a,60             ; select the printer card on the bus
            out (1),a
            ld a,c
            out (0),a
putch_col:  ld hl,prtcol
            inc (hl)
            cp 0Dh
            jr nz,putch_done
            ld (hl),0
putch_done: pop bc
            pop de
            pop hl
            ret

; newline: cursor to column 0 of the next row, scrolling at the bottom.
newline:    xor a
            ld (curcol),a
            ld a,(currow)
            inc a
            cp scrrows
            jr c,newline_set
            call scroll
            ld a,scrrows-1
newline_set:
            ld (currow),a
            ret

; scroll: move rows 1-23 up one row and blank the bottom row.
scroll:     push bc
            ld b,0
scroll_row: ld a,b
            call rowaddr
            push hl             ; destination: row b
            ld a,b
            inc a
            call rowaddr        ; source: row b+1
            pop de
            push bc
            ld bc,scrcols
            ldir
            pop bc
            inc b
            ld a,b
            cp scrrows-1
            jr c,scroll_row
            call rowaddr
            ld b,scrcols
scroll_blank:
            ld (hl),' '
            inc hl
            djnz scroll_blank
            pop bc
            ret

; backspace: cursor one cell back (up to the end of the previous row) and
; blank that cell.
backspace:  ld a,(curcol)
            or a
            jr nz,backspace_left
            ld a,(currow)
            or a
            ret z
            dec a
            ld (currow),a
            ld a,scrcols
backspace_left:
            dec a
            ld (curcol),a
            call curaddr
            ld (hl),' '
            ret

; crlf_if: start a new line unless the cursor is already at column 0.
crlf_if:    ld a,(outdev)
            or a
            ld a,(prtcol)
            jr nz,crlf_if_test
            ld a,(curcol)
crlf_if_test:
            or a
            ret z
crlf:       ld a,0Dh
            jp putch

; outcol: A := column of the current output device.
outcol:     ld a,(outdev)
            or a
            ld a,(prtcol)
            ret nz
            ld a,(curcol)
            ret

; outwidth: A := the line width of the current output device.
outwidth:   ld a,(outdev)
            or a
            ld a,scrcols
            ret z
            ld a,prtcols
            ret

; puts: print the zero-terminated text at HL. Keeps DE, BC.
puts:       ld a,(hl)
            or a
            ret z
            call putch
            inc hl
            jr puts

; prnum: print HL as a signed decimal number. Keeps DE.
prnum:      push de
            push bc
            bit 7,h
            jr z,prnum_pos
            ld a,'-'
            call putch
            xor a
            sub l
            ld l,a
            sbc a,a
            sub h
            ld h,a
prnum_pos:  ld de,pow10
            ld c,0              ; 1 once a digit has been printed
prnum_digit:
            ld a,(de)
            inc de
            push de
            ld b,a
            ld a,(de)
            ld d,a
            ld e,b              ; DE = power of ten
            ld b,'0'-1
prnum_count:
            inc b
            or a
            sbc hl,de
            jr nc,prnum_count
            add hl,de
            ld a,e
            cp 1
            jr z,prnum_last
            ld a,b
            cp '0'
            jr nz,prnum_show
            ld a,c
            or a
            jr z,prnum_skip
prnum_show: ld a,b
            call putch
            ld c,1
prnum_skip: pop de
            inc de
            jr prnum_digit
prnum_last: pop de
            ld a,b
            call putch
            pop bc
            pop de
            ret

pow10:      dw 10000, 1000, 100, 10, 1
