; Output statements: PRINT and LPRINT (with TAB and CUR), numbers as
; text, LIST and LLIST. PRINT USING is in using.asm.

; PRINT items separated by ; or , (the comma moves to the next 10-column
; zone); a trailing separator keeps the line open. Numbers are shown with
; a blank or minus sign before them and a blank after.
st_lprint:  ld a,1
            ld (outdev),a
st_print:   call atend
            jr nz,st_print_list
            call crlf
            jp screenout
; st_print_list: the list after PRINT or LPRINT, at DE; USING hands it to
; st_using (using.asm). The output goes to the device outdev names.
st_print_list:
            ld a,(de)
            cp ' '
            call z,skipsp
            cp t_using
            jp z,st_using
            cp '#'              ; PRINT #n: to a file, in the Open DOS
            ld hl,6029h
            jp z,dosgo
st_print_item:
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ';'
            jp z,st_print_semi
            cp ','
            jr z,st_print_comma
            cp t_tab
            jr z,st_print_tab
            cp t_cur
            jr z,st_print_cur
            call expr
            push hl             ; an item must be followed by a separator
            ld a,(de)
            cp ' '
            call z,skipsp         ; or the end before anything is shown
            cp ';'
            jr z,st_print_show
            cp ','
            jr z,st_print_show
            call atend
            jp nz,err_syntax
st_print_show:
            pop hl
            ld a,(vtype)
            cp 2
            jr z,st_print_string
            call formatnum
            call puts
            ld a,' '
            call putch
            jr st_print_sep
st_print_string:
            call putdesc
st_print_sep:
            call resettemps
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ';'
            jr z,st_print_semi
            cp ','
            jr z,st_print_comma
            call atend
            jp nz,err_syntax
            call crlf
            jp screenout
st_print_tab:
            inc de
            call pr_tab
            jr st_print_sep
st_print_cur:
            inc de
            call pr_cur
            jr st_print_sep
st_print_comma:
            call outwidth
            ld c,a
            call outcol
            cp c
            jr nc,st_print_wrap ; a line already past the width
            ld b,10
st_print_zone:
            cp b
            jr c,st_print_zoned
            ld h,a
            ld a,b
            add a,10
            ld b,a
            ld a,h
            jr st_print_zone
st_print_zoned:
            ld a,b
            cp c
            jr nc,st_print_wrap
st_print_pad:
            ld a,' '
            call putch
            call outcol
            cp b
            jr c,st_print_pad
            jr st_print_semi
st_print_wrap:
            call crlf
st_print_semi:
            inc de
            call atend
            jp nz,st_print_item
            jp screenout

; putdesc: print the string of descriptor HL. Keeps DE.
putdesc:    ld b,(hl)
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            inc b
putdesc_loop:
            dec b
            ret z
            ld a,(hl)
            call putch
            inc hl
            jr putdesc_loop

; formatnum: the current number as text in numbuf; HL := its start
; (zero-ended, a blank or '-' first). Keeps DE.
formatnum:  ld a,(vtype)
            or a
            jr nz,formatnum_float
            push de
            ld de,numbuf
            ld a,' '
            bit 7,h
            jr z,formatnum_pos
            call negate
            ld a,'-'
formatnum_pos:
            ld (de),a
            inc de
            call utoa
            pop de
            ld hl,numbuf
            ret
formatnum_float:
            push de
            ld de,numbuf
            call fp_format
            pop de
            ret

; utoa: HL as an unsigned decimal number at DE, zero-ended.
utoa:       push bc
            ld bc,pow10
            ld a,0
            ld (s_kind),a       ; 1 once a digit is out
utoa_digit: push bc
            ld a,(bc)
            inc bc
            push af
            ld a,(bc)
            ld b,a
            pop af
            ld c,a              ; BC = power of ten
            ld a,'0'-1
utoa_count: inc a
            or a
            sbc hl,bc
            jr nc,utoa_count
            add hl,bc
            push af
            ld a,c
            dec a
            or b
            jr z,utoa_last
            pop af
            cp '0'
            jr nz,utoa_show
            push af
            ld a,(s_kind)
            or a
            jr z,utoa_skip
            pop af
utoa_show:  ld (de),a
            inc de
            ld a,1
            ld (s_kind),a
            jr utoa_next
utoa_skip:  pop af
utoa_next:  pop bc
            inc bc
            inc bc
            jr utoa_digit
utoa_last:  pop af
            ld (de),a
            inc de
            xor a
            ld (de),a
            pop bc
            pop bc
            ret

; TAB(n): blanks up to column n. An n past the end of the line (40 on the
; screen, 80 on the printer) means column n MOD width of the next line; so
; does a column the output has already passed.
pr_tab:     call getint
            call checkbyte
            call closeparen
            call outwidth
            ld c,a
            ld a,l
            ld b,0              ; B: 1 when n is past the line
pr_tab_mod: cp c
            jr c,pr_tab_col
            sub c
            ld b,1
            jr pr_tab_mod
pr_tab_col: ld l,a
            call outcol
            cp l
            ret z
            jr nc,pr_tab_next
            dec b
            jr nz,pr_tab_pad
pr_tab_next:
            call crlf
pr_tab_pad: call outcol
            cp l
            ret nc
            ld a,' '
            call putch
            jr pr_tab_pad

; CUR(row,column): move the screen cursor.
pr_cur:     ld c,'('
            call need
            call getint
            push hl
            ld c,','
            call need
            call getint
            push hl
            ld c,')'
            call need
            pop bc              ; column
            pop hl              ; row
            ld a,h
            or b
            jp nz,err_argument
            ld a,l
            cp scrrows
            jp nc,err_argument
            ld a,c
            cp scrcols
            jp nc,err_argument
            ld (curcol),a
            ld a,l
            ld (currow),a
            ret

; listrange: [first][-[last]] at DE into s_lo and s_hi (0 and 7FFFh
; when not given).
listrange:  ld hl,0
            ld (s_lo),hl
            ld hl,7FFFh
            ld (s_hi),hl
            ld a,(de)
            cp ' '
            call z,skipsp
            call isdigit
            jr nc,listrange_nofirst
            call readuint
            jp c,err_lineno
            ld (s_lo),hl
            ld (s_hi),hl
            ld a,(de)
            cp ' '
            call z,skipsp
            cp '-'
            ret nz
            ld hl,7FFFh
            ld (s_hi),hl
            jr listrange_dash
listrange_nofirst:
            cp '-'
            ret nz
listrange_dash:
            inc de
            ld a,(de)
            cp ' '
            call z,skipsp
            call isdigit
            ret nc
            call readuint
            jp c,err_lineno
            ld (s_hi),hl
            ret

; LIST [first][-[last]]
st_llist:   ld a,1
            ld (outdev),a
st_list:    call listrange
st_list_go: push de
            ld bc,(s_lo)
            call findline
st_list_line:
            call chkbreak
            call isrecord
            jr c,st_list_end
            push hl
            call recnum
            ld bc,(s_hi)
            or a
            sbc hl,bc
            pop hl
            jr z,st_list_show
            jr nc,st_list_end
st_list_show:
            call listline
            ld c,(hl)
            ld b,0
            add hl,bc
            jr st_list_line
st_list_end:
            pop de
; screenout: output goes back to the screen after LPRINT and LLIST.
screenout:  xor a
            ld (outdev),a
            jp nextstmt
