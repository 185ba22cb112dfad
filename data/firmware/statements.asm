; Statement execution. DE is the text pointer; curline is the record of the
; running line (0 for a command typed at the prompt). Every statement ends
; by jumping to nextstmt, which moves on past ":" or to the next line.

; execstmt: run the statement at DE.
execstmt:   call chkbreak
            xor a
            ld (outdev),a
            call skipsp
            cp 0Dh
            jp z,endofline
            cp ':'
            jr nz,execstmt_word
            inc de
            jr execstmt
execstmt_word:
            sub 'A'
            cp 26
            jr nc,execstmt_noword
            ld b,a              ; a letter followed by "=" is an assignment
            ld h,d
            ld l,e
execstmt_peek:
            inc hl
            ld a,(hl)
            cp ' '
            jr z,execstmt_peek
            cp '='
            jp z,st_let
            ld a,b
            add a,a
            ld l,a
            ld h,0
            ld bc,stmtindex
            add hl,bc
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            call lookup
            jr nz,execstmt_noword
            jp (hl)
execstmt_noword:
            ld a,(de)
            cp '?'
            jr nz,execstmt_let
            inc de
            jp st_print
execstmt_let:
            call isletter
            jp c,st_let
            jp err_syntax

; nextstmt: after a statement: ":" or the end of the line must follow.
nextstmt:   call skipsp
            cp ':'
            jr nz,nextstmt_eol
            inc de
            jr execstmt
nextstmt_eol:
            cp 0Dh
            jp nz,err_syntax
endofline:  ld hl,(curline)
            ld a,h
            or l
            jp z,warm
            ld c,(hl)
            ld b,0
            add hl,bc
; runline: run from the record at HL; at the end of the program, stop.
runline:    call isrecord
            jp c,warm
            ld (curline),hl
            inc hl
            inc hl
            inc hl
            ex de,hl
            jr execstmt

; skipline: ignore the rest of the line (REM, a false IF).
skipline:   ld a,(de)
            cp 0Dh
            jr z,endofline
            inc de
            jr skipline

; atend: Z when the statement has ended (":" or 0Dh at DE).
atend:      call skipsp
            cp ':'
            ret z
            cp 0Dh
            ret

; clearvars: all variables 0, the GOSUB and FOR stacks empty.
clearvars:  ld hl,vars
            ld b,52
clearvars_zero:
            ld (hl),0
            inc hl
            djnz clearvars_zero
resetstacks:
            ld hl,gosubstk
            ld (gosubsp),hl
            ld hl,forstk
            ld (forsp),hl
            ret

st_let:     call varaddr
            push hl
            ld c,'='
            call need
            call expr
            ex de,hl
            ex (sp),hl          ; HL = cell, stack = text
            ld (hl),e
            inc hl
            ld (hl),d
            pop de
            jp nextstmt

st_rem:     jr skipline

st_end:     jp warm

st_stop:    ld hl,m_stop
            jp error

st_new:     call newprog
            call clearvars
            jp warm

st_cls:     call cls
            jp nextstmt

; RUN [line]
st_run:     call clearvars
            ld hl,(ticks)
            ld bc,(rndseed)
            add hl,bc
            ld (rndseed),hl
            call atend
            ld hl,progbase
            jr z,runline
            call expr
            call findexact
            jp runline

; findexact: HL := the record of line HL, or the error for a missing line.
findexact:  ld b,h
            ld c,l
            call findline
            ret z
            jp err_noline

st_goto:    call expr
            call findexact
            jp runline

st_gosub:   call expr
            call findexact
            push hl
            ld hl,(gosubsp)
            ld bc,gosubstk+gosubmax*4
            or a
            sbc hl,bc
            jp nc,err_nesting
            add hl,bc
            ld bc,(curline)
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld (hl),e
            inc hl
            ld (hl),d
            inc hl
            ld (gosubsp),hl
            pop hl
            jp runline

st_return:  ld hl,(gosubsp)
            ld bc,gosubstk
            or a
            sbc hl,bc
            jp z,err_return
            add hl,bc
            dec hl
            ld d,(hl)
            dec hl
            ld e,(hl)
            dec hl
            ld b,(hl)
            dec hl
            ld c,(hl)
            ld (gosubsp),hl
            ld (curline),bc
            jp nextstmt

; IF condition THEN statement | THEN line
st_if:      call expr
            push hl
            ld hl,w_then
            call word
            jp nz,err_syntax
            pop hl
            ld a,h
            or l
            jp z,skipline
            call skipsp
            cp '0'
            jr c,st_if_stmt
            cp '9'+1
            jr c,st_goto
st_if_stmt: jp execstmt

; FOR v = first TO last [STEP step]
; A FOR entry: cell (2), limit (2), step (2), record (2), text (2).
t_cell:     equ sysend+10
t_limit:    equ sysend+12
t_step:     equ sysend+14
t_entry:    equ sysend+16
t_lo:       equ sysend+18
t_hi:       equ sysend+20
t_input:    equ sysend+22

st_for:     call varaddr
            ld (t_cell),hl
            ld c,'='
            call need
            call expr
            push de
            ex de,hl
            ld hl,(t_cell)
            ld (hl),e
            inc hl
            ld (hl),d
            pop de
            ld hl,w_to
            call word
            jp nz,err_syntax
            call expr
            ld (t_limit),hl
            ld hl,w_step
            call word
            ld hl,1
            call z,expr
            ld (t_step),hl
            ld hl,(t_cell)      ; an older loop on the same variable ends
            call forfind
            jr nz,st_for_fresh
            ld (forsp),bc
st_for_fresh:
            ld hl,(forsp)
            ld bc,forstk+formax*forsize
            or a
            sbc hl,bc
            jp nc,err_nesting
            add hl,bc
            ld bc,(t_cell)
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld bc,(t_limit)
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld bc,(t_step)
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld bc,(curline)
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld (hl),e
            inc hl
            ld (hl),d
            inc hl
            ld (forsp),hl
            jp nextstmt

; forfind: look for the FOR entry of cell HL, newest first. Z: found, BC
; := the entry's address. Keeps HL, DE.
forfind:    push de
            ex de,hl            ; DE = cell
            ld hl,(forsp)
forfind_loop:
            ld bc,forstk
            or a
            sbc hl,bc
            jr z,forfind_none
            add hl,bc
            ld bc,-forsize
            add hl,bc
            ld a,(hl)
            cp e
            jr nz,forfind_loop
            inc hl
            ld a,(hl)
            dec hl
            cp d
            jr nz,forfind_loop
            ld b,h
            ld c,l
            ex de,hl
            pop de
            xor a
            ret
forfind_none:
            ex de,hl
            pop de
            or 1
            ret

; NEXT [v]: add the step; while the variable has not passed the limit,
; go back to the statement after the FOR. A step that would leave the
; number range ends the loop.
st_next:    call atend
            jr z,st_next_top
            call varaddr
            call forfind
            jp nz,err_next
            ld h,b
            ld l,c
            jr st_next_entry
st_next_top:
            ld hl,(forsp)
            ld bc,forstk
            or a
            sbc hl,bc
            jp z,err_next
            add hl,bc
            ld bc,-forsize
            add hl,bc
st_next_entry:
            ld (t_entry),hl
            ld c,(hl)
            inc hl
            ld b,(hl)
            inc hl
            ld (t_cell),bc
            ld c,(hl)
            inc hl
            ld b,(hl)
            inc hl
            ld (t_limit),bc
            ld c,(hl)
            inc hl
            ld b,(hl)
            ld (t_step),bc
            push de
            ld hl,(t_cell)
            ld e,(hl)
            inc hl
            ld d,(hl)
            ex de,hl            ; HL = value, DE = cell + 1
            or a
            adc hl,bc
            jp pe,st_next_finished
            ex de,hl
            ld (hl),d
            dec hl
            ld (hl),e
            ld b,d
            ld c,e
            ld hl,(t_limit)
            call compare        ; 1: below the limit, 4: above it
            ld hl,(t_step)
            bit 7,h
            jr nz,st_next_down
            cp 4
            jr z,st_next_finished
            jr st_next_again
st_next_down:
            cp 1
            jr z,st_next_finished
st_next_again:
            pop af              ; the text after NEXT is not needed
            ld hl,(t_entry)
            ld bc,6
            add hl,bc
            ld c,(hl)
            inc hl
            ld b,(hl)
            inc hl
            ld (curline),bc
            ld e,(hl)
            inc hl
            ld d,(hl)
            inc hl
            ld (forsp),hl       ; loops inside this one end
            jp nextstmt
st_next_finished:
            pop de
            ld hl,(t_entry)
            ld (forsp),hl
            jp nextstmt

; PRINT items separated by ; or , (the comma moves to the next 10-column
; zone); a trailing separator keeps the line open.
st_lprint:  ld a,1
            ld (outdev),a
st_print:   call atend
            jr nz,st_print_item
            call crlf
            jp nextstmt
st_print_item:
            call skipsp
            cp '"'
            jr nz,st_print_notstr
            inc de
st_print_str:
            ld a,(de)
            cp 0Dh
            jr z,st_print_sep
            inc de
            cp '"'
            jr z,st_print_sep
            call putch
            jr st_print_str
st_print_notstr:
            ld hl,printwords
            call lookup
            jr nz,st_print_number
            call jphl
            jr st_print_sep
st_print_number:
            call expr
            call prnum
st_print_sep:
            call skipsp
            cp ';'
            jr z,st_print_semi
            cp ','
            jr z,st_print_comma
            call atend
            jr nz,st_print_item
            call crlf
            jp nextstmt
st_print_comma:
            call outcol
            ld b,10
st_print_zone:
            cp b
            jr c,st_print_zoned
            ld c,a
            ld a,b
            add a,10
            ld b,a
            ld a,c
            jr st_print_zone
st_print_zoned:
            ld a,b
            cp scrcols
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
            jr nz,st_print_item
            jp nextstmt

; CHR$(n): the character n.
pr_chr:     call parenarg
            ld a,l
            jp putch

; TAB(n): spaces up to column n.
pr_tab:     call parenarg
pr_tab_pad: call outcol
            cp l
            ret nc
            cp 39
            ret nc
            ld a,' '
            call putch
            jr pr_tab_pad

; CUR(row,column): move the screen cursor.
pr_cur:     ld c,'('
            call need
            call expr
            push hl
            ld c,','
            call need
            call expr
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

; INPUT ["prompt";] v [, v ...]
st_input:   call skipsp
            cp '"'
            jr nz,st_input_ask
            inc de
st_input_prompt:
            ld a,(de)
            cp 0Dh
            jp z,err_syntax
            inc de
            cp '"'
            jr z,st_input_promptend
            call putch
            jr st_input_prompt
st_input_promptend:
            call skipsp
            cp ';'
            jr z,st_input_psep
            cp ','
            jp nz,err_syntax
st_input_psep:
            inc de
st_input_ask:
            ld hl,0
            ld (inptr),hl
            ld (t_input),de     ; a bad answer asks for all of them again
st_input_var:
            call varaddr
            push hl
st_input_value:
            call inputnum
            jr c,st_input_retry
            ex de,hl
            ex (sp),hl
            ld (hl),e
            inc hl
            ld (hl),d
            pop de
            call skipsp
            cp ','
            jp nz,nextstmt
            inc de
            jr st_input_var
st_input_retry:
            pop hl
            ld hl,m_retype
            call puts
            call crlf
            ld de,(t_input)
            jr st_input_ask

; inputnum: the next number of the answer into HL, asking for a line when
; none is left. Carry when the answer is not a number. Keeps DE.
inputnum:   push de
            ld hl,(inptr)
            ld a,h
            or l
            jr nz,inputnum_have
            ld a,'?'
            call putch
            ld a,' '
            call putch
            ld hl,inbuf
            call getline
            jp c,err_break
            ld (inptr),hl
inputnum_have:
            ex de,hl
            call skipsp
            ld b,0
            cp '-'
            jr nz,inputnum_digits
            inc b
            inc de
inputnum_digits:
            ld a,(de)
            sub '0'
            cp 10
            jr nc,inputnum_bad
            call readuint
            jr c,inputnum_bad
            ld a,b              ; answers must lie in -32768..32767
            or a
            jr z,inputnum_plus
            ld a,h
            cp 80h
            jr c,inputnum_minus
            jr nz,inputnum_bad
            ld a,l
            or a
            jr nz,inputnum_bad
            jr inputnum_end     ; -32768 is 8000h already
inputnum_minus:
            call negate
            jr inputnum_end
inputnum_plus:
            bit 7,h
            jr nz,inputnum_bad
inputnum_end:
            call skipsp
            cp ','
            jr z,inputnum_more
            cp 0Dh
            jr nz,inputnum_bad
            ld de,0             ; answer used up
            jr inputnum_done
inputnum_more:
            inc de
inputnum_done:
            ld (inptr),de
            pop de
            or a
            ret
inputnum_bad:
            pop de
            scf
            ret

st_poke:    call expr
            push hl
            ld c,','
            call need
            call expr
            ld a,l
            pop hl
            ld (hl),a
            jp nextstmt

st_out:     call expr
            push hl
            ld c,','
            call need
            call expr
            ld a,l
            pop bc
            out (c),a
            jp nextstmt

; SOUND n: the control byte n to the sound chip.
st_sound:   call expr
            ld a,l
            out (6),a
            jp nextstmt

; LIST [first][-[last]]
st_llist:   ld a,1
            ld (outdev),a
st_list:    ld hl,0
            ld (t_lo),hl
            ld hl,7FFFh
            ld (t_hi),hl
            call skipsp
            call isdigit
            jr nc,st_list_nofirst
            call readuint
            jp c,err_lineno
            ld (t_lo),hl
            ld (t_hi),hl
            call skipsp
            cp '-'
            jr nz,st_list_go
            ld hl,7FFFh
            ld (t_hi),hl
            jr st_list_dash
st_list_nofirst:
            cp '-'
            jr nz,st_list_go
st_list_dash:
            inc de
            call skipsp
            call isdigit
            jr nc,st_list_go
            call readuint
            jp c,err_lineno
            ld (t_hi),hl
st_list_go: push de
            ld bc,(t_lo)
            call findline
st_list_line:
            call chkbreak
            call isrecord
            jr c,st_list_end
            push hl
            call recnum
            ld bc,(t_hi)
            push hl
            or a
            sbc hl,bc
            pop hl
            jr z,st_list_show
            jr nc,st_list_done
st_list_show:
            call prnum
            ld a,' '
            call putch
            pop hl
            push hl
            inc hl
            inc hl
            inc hl
st_list_text:
            ld a,(hl)
            cp 0Dh
            jr z,st_list_eol
            call putch
            inc hl
            jr st_list_text
st_list_eol:
            call crlf
            pop hl
            ld c,(hl)
            ld b,0
            add hl,bc
            jr st_list_line
st_list_done:
            pop hl
st_list_end:
            pop de
            jp nextstmt

; isdigit: carry when A is 0-9.
isdigit:    cp '0'
            ccf
            ret nc
            cp '9'+1
            ret

w_then:     db "THE", 'N'+80h
w_to:       db 'T', 'O'+80h
w_step:     db "STE", 'P'+80h

; The statements, in alphabetical order, with an index by first letter.
stmtindex:  dw stw_c, stw_c, stw_c, stw_e, stw_e, stw_f, stw_g, stw_i, stw_i
            dw stw_l, stw_l, stw_l, stw_n, stw_n, stw_o, stw_p, stw_r, stw_r
            dw stw_s, stw_end, stw_end, stw_end, stw_end, stw_end, stw_end
            dw stw_end
stw_c:      db "CL", 'S'+80h
            dw st_cls
stw_e:      db "EN", 'D'+80h
            dw st_end
stw_f:      db "FO", 'R'+80h
            dw st_for
stw_g:      db "GOSU", 'B'+80h
            dw st_gosub
            db "GOT", 'O'+80h
            dw st_goto
stw_i:      db "I", 'F'+80h
            dw st_if
            db "INPU", 'T'+80h
            dw st_input
stw_l:      db "LE", 'T'+80h
            dw st_let
            db "LIS", 'T'+80h
            dw st_list
            db "LLIS", 'T'+80h
            dw st_llist
            db "LOA", 'D'+80h
            dw st_load
            db "LPRIN", 'T'+80h
            dw st_lprint
stw_n:      db "NE", 'W'+80h
            dw st_new
            db "NEX", 'T'+80h
            dw st_next
stw_o:      db "OU", 'T'+80h
            dw st_out
stw_p:      db "POK", 'E'+80h
            dw st_poke
            db "PRIN", 'T'+80h
            dw st_print
stw_r:      db "RE", 'M'+80h
            dw st_rem
            db "RETUR", 'N'+80h
            dw st_return
            db "RU", 'N'+80h
            dw st_run
stw_s:      db "SAV", 'E'+80h
            dw st_save
            db "SOUN", 'D'+80h
            dw st_sound
            db "STO", 'P'+80h
            dw st_stop
stw_end:    db 0

printwords: db "CHR", '$'+80h
            dw pr_chr
            db "CU", 'R'+80h
            dw pr_cur
            db "TAB", '('+80h
            dw pr_tab_open
            db 0

pr_tab_open:
            dec de             ; TAB( matched with its parenthesis
            jp pr_tab
