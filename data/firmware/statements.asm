; Statement execution. DE is the text pointer; curline is the record of the
; running line (0 for a command typed at the prompt). Every statement ends
; by jumping to nextstmt, which moves on past ":" or to the next line.

s_cell:     equ sysend+36
s_limit:    equ sysend+38
s_step:     equ sysend+40
s_entry:    equ sysend+42
s_lo:       equ sysend+44
s_hi:       equ sysend+46
s_input:    equ sysend+48
s_kind:     equ sysend+50
s_count:    equ sysend+51
s_target:   equ sysend+53
s_type:     equ sysend+55

; execstmt: run the statement at DE.
execstmt:   ld (stmtpos),de
            ld hl,pollcount     ; the keyboard every 16 statements
            dec (hl)
            call z,pollnow
            ld a,(breakflag)
            or a
            jp nz,breakhit
            ld hl,tmpdesc       ; the temporary strings and values of the
            ld (tmpsp),hl       ; last statement are given up
            ld hl,vstack
            ld (vsp),hl
            ld a,(de)
            cp ' '
            call z,skipsp
            cp 0Dh
            jp z,endofline
            cp ':'
            jr nz,execstmt_word
            inc de
            jr execstmt
execstmt_word:
            cp t_else+1
            jr nc,execstmt_let
            sub 80h
            jr c,execstmt_let
            inc de
            add a,a
            ld l,a
            ld h,0
            ld bc,stmttable
            add hl,bc
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            jp (hl)
execstmt_let:
            ld a,(de)
            call isletter
            jp c,st_let
            jp err_syntax

stmttable:  dw st_end, st_for, st_next, st_data, st_input, st_dim, st_read, st_let
            dw st_goto, st_run, st_if, st_restore, st_gosub, st_return, st_rem, st_stop
            dw st_on, st_print, st_list, st_llist, st_lprint, st_clear, st_new, st_cls
            dw st_poke, st_out, st_sound, st_save, st_load, st_def, st_cont, st_randomize
            dw st_get, st_renum, st_else

; nextstmt: after a statement: ":" or the end of the line must follow (or
; ELSE, which ends the THEN part of an IF).
nextstmt:   ld a,(de)
            cp ' '
            call z,skipsp
            cp ':'
            jr nz,nextstmt_eol
            inc de
            jp execstmt
nextstmt_eol:
            cp t_else
            jr z,skipline
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
            jp execstmt

; skipline: ignore the rest of the line (REM, a false IF, ELSE).
st_else:
st_rem:
skipline:   ld a,(de)
            cp 0Dh
            jr z,endofline
            inc de
            jr skipline

; skipstmt: DE to the ":" or 0Dh that ends this statement (quotes kept
; whole).
skipstmt:   ld a,(de)
            cp 0Dh
            ret z
            cp ':'
            ret z
            inc de
            cp '"'
            jr nz,skipstmt
skipstmt_q: ld a,(de)
            cp 0Dh
            ret z
            inc de
            cp '"'
            jr nz,skipstmt_q
            jr skipstmt

; atend: Z when the statement has ended (":", 0Dh or ELSE at DE).
atend:      ld a,(de)
            cp ' '
            call z,skipsp
            cp ':'
            ret z
            cp t_else
            ret z
            cp 0Dh
            ret

st_data:    call skipstmt
            jp nextstmt

; LET v=e (LET may be left out)
st_let:     call varaddr
            push hl
            ld a,(numtype)
            push af
            ld c,'='
            call need
            inc de              ; X=A alone: the five bytes copied
            ld a,(de)
            dec de
            cp 0Dh
            jr z,st_let_lone
            cp ':'
            jr z,st_let_lone
st_let_expr:
            call expr
            pop af
            pop bc
            call storeval
            jp nextstmt
st_let_lone:
            ld a,(de)
            call isletter
            jr nc,st_let_expr
            pop af
            push af
            dec a
            jr nz,st_let_expr   ; the target is not a float
            call getname
            call findvar
            jr z,st_let_found
            ld hl,zeroval
st_let_found:
            pop af
            pop bc
            push de
            ld d,b
            ld e,c
            ld bc,4
            add hl,bc
            ld a,(hl)           ; a zero is stored as five zero bytes
            or a
            sbc hl,bc
            or a
            jr nz,st_let_copy
            ld hl,zeroval
st_let_copy:
            ld c,5
            ldir
            pop de
            jp nextstmt

; storeval: the current value into the cell BC of type A (0 whole number,
; 1 float, 2 string). Keeps DE.
storeval:   cp 1
            jr z,storeval_float
            jr c,storeval_int
            call needstr
            push de
            ex de,hl
            ld h,b
            ld l,c
            call strassign
            pop de
            ret
storeval_int:
            call toint
            ld a,l
            ld (bc),a
            inc bc
            ld a,h
            ld (bc),a
            ret
storeval_float:
            call tofloat
            ld h,b
            ld l,c
            jp fp_store

; truth: Z when the current value (a number) is 0.
truth:      ld a,(vtype)
            or a
            jr nz,truth_float
            ld a,h
            or l
            ret
truth_float:
            dec a
            jp nz,err_type
            call fp_test
            or a
            ret

st_end:     call setcont_next
            jp warm

st_stop:    call setcont_next
            ld hl,m_stop
            jp errorkeep

; setcont_next: CONT may go on after this statement.
setcont_next:
            ld hl,(curline)
            ld a,h
            or l
            ret z
            ld (contrec),hl
            ld (contpos),de
            ld a,2
            ld (contok),a
            ret

; CONT: on after STOP, END or BREAK, where the program stopped.
st_cont:    ld a,(contok)
            or a
            jp z,err_cont
            ld hl,(contrec)
            ld (curline),hl
            ld de,(contpos)
            ld b,a
            xor a
            ld (contok),a
            dec b
            jp z,execstmt
            jp nextstmt

st_new:     call newprog
            call clearvars
            jp warm

st_clear:   call clearvars
            jp nextstmt

st_cls:     call cls
            jp nextstmt

; RUN [line]
st_run:     call atend
            ld hl,0
            call nz,getint
            push hl
            call tokprog
            call clearvars
            ld hl,0
            ld (curline),hl
            pop hl
            ld a,h
            or l
            ld hl,progbase
            jp z,runline
            call findexact
            jp runline

; findexact: HL := the record of line HL, or LINE NOT FOUND. A line after
; the running one is looked for from there on.
findexact:  ld b,h
            ld c,l
            ld hl,(curline)
            ld a,h
            or l
            jr z,findexact_all
            push hl
            call recnum
            or a
            sbc hl,bc
            pop hl
            jr nc,findexact_all
            call findfrom
            ret z
            jp err_noline
findexact_all:
            push de             ; a line jumped to before is remembered
            ld a,c              ; (8 of them, by the low bits of their
            and 7               ; number); the record must still hold it
            add a,a
            add a,a
            ld e,a
            ld d,0
            ld hl,jumpcache
            add hl,de
            push hl
            ld a,(hl)
            cp c
            jr nz,findexact_search
            inc hl
            ld a,(hl)
            cp b
            jr nz,findexact_search
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            call isrecord
            jr c,findexact_search
            push hl
            call recnum
            or a
            sbc hl,bc
            pop hl
            jr nz,findexact_search
            pop de
            pop de
            xor a
            ret
findexact_search:
            call findline
            pop de              ; the cache entry
            jr nz,findexact_none
            ex de,hl
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld (hl),e
            inc hl
            ld (hl),d
            ex de,hl
            pop de
            xor a
            ret
findexact_none:
            pop de
            jp err_noline

st_goto:    call getint
            call findexact
            jp runline

st_gosub:   call getint
            call findexact
dogosub:    push hl
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

; ON e GOTO|GOSUB line, line, ...: the e-th line; an e outside the list
; goes on with the next statement.
st_on:      call getint
            ld (s_count),hl
            ld a,(de)
            cp ' '
            call z,skipsp
            ld (s_kind),a
            cp t_goto
            jr z,st_on_list
            cp t_gosub
            jp nz,err_syntax
st_on_list: inc de
            ld hl,0
            ld (s_target),hl
st_on_item: ld a,(de)
            cp ' '
            call z,skipsp
            call isdigit
            jp nc,err_syntax
            call readuint
            jp c,err_lineno
            push hl
            ld hl,(s_count)
            dec hl
            ld (s_count),hl
            ld a,h
            or l
            pop hl
            jr nz,st_on_notthis
            ld (s_target),hl
st_on_notthis:
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr nz,st_on_end
            inc de
            jr st_on_item
st_on_end:  ld hl,(s_target)
            ld a,h
            or l
            jp z,nextstmt
            call findexact
            ld a,(s_kind)
            cp t_gosub
            jp z,dogosub
            jp runline

; IF condition THEN statements | line [ELSE statements | line]; IF c GOTO n
st_if:      call expr
            call truth
            push af
            ld a,(de)
            cp ' '
            call z,skipsp
            cp t_goto
            jr z,st_if_goto
            cp t_then
            jp nz,err_syntax
            inc de
st_if_goto: pop af
            jr z,st_if_false
st_if_do:   ld a,(de)
            cp ' '
            call z,skipsp
            call isdigit
            jp c,st_goto
            jp execstmt
st_if_false:
            ld a,(de)           ; look for ELSE on the rest of the line
            cp 0Dh
            jp z,endofline
            inc de
            cp t_else
            jr z,st_if_do
            cp '"'
            jr nz,st_if_false
st_if_quote:
            ld a,(de)
            cp 0Dh
            jp z,endofline
            inc de
            cp '"'
            jr nz,st_if_quote
            jr st_if_false

; FOR v = first TO last [STEP step]. The entry: cell (2), type (1), limit
; (5), step (5), record (2), text (2).
st_for:     call getname
            ld a,(de)
            cp '('
            jp z,err_syntax
            ld a,(numtype)
            cp 2
            jp z,err_type
            ld (s_type),a
            call simpleaddr
            ld (s_cell),hl
            call forfind        ; an older loop on the same variable ends
            jr nz,st_for_fresh
            ld (forsp),bc
st_for_fresh:
            ld hl,(forsp)       ; the entry is known before the numbers,
            ld bc,forstk+formax*forsize ; which go straight into it
            or a
            sbc hl,bc
            jp nc,err_nesting
            add hl,bc
            ld (s_entry),hl
            ld c,'='
            call need
            call expr
            ld bc,(s_cell)
            ld a,(s_type)
            call storeval
            ld a,(de)
            cp ' '
            call z,skipsp
            cp t_to
            jp nz,err_syntax
            inc de
            call getnum
            ld bc,(s_entry)     ; the limit at entry+3
            inc bc
            inc bc
            inc bc
            call forvalue
            ld a,(de)
            cp ' '
            call z,skipsp
            cp t_step
            jr nz,st_for_one
            inc de
            call getnum
            push hl
            ld hl,(s_entry)     ; the step at entry+8
            ld bc,8
            add hl,bc
            ld b,h
            ld c,l
            pop hl
            call forvalue
            jr st_for_done
st_for_one: push de             ; no STEP: 1
            ld hl,(s_entry)
            ld bc,8
            add hl,bc
            ex de,hl
            ld hl,floatone
            ld bc,5
            ld a,(s_type)
            or a
            jr nz,st_for_onecopy
            ld hl,intone
            ld c,2
st_for_onecopy:
            ldir
            pop de
st_for_done:
            ld hl,(s_entry)
            ld bc,(s_cell)
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld a,(s_type)
            ld (hl),a
            ld bc,11
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
            ld (forsp),hl
            jp nextstmt

floatone:   db 00h, 00h, 00h, 00h, 81h ; 1 in the number format
intone:     dw 1

; forvalue: the current number into the five bytes at BC, in the loop
; variable's type (s_type). Keeps DE.
forvalue:   ld a,(s_type)
            or a
            jr z,forvalue_int
            call tofloat
            ld h,b
            ld l,c
            jp fp_store
forvalue_int:
            call toint
            ld a,l
            ld (bc),a
            inc bc
            ld a,h
            ld (bc),a
            ret

; forfind: look for the FOR entry of cell HL, newest first. Z: found, BC
; := the entry's address. Keeps DE.
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
            pop de
            xor a
            ret
forfind_none:
            pop de
            or 1
            ret

; NEXT [v [, v ...]]: add the step; while the variable has not passed the
; limit, go back to the statement after the FOR.
st_next:    call atend
            jr z,st_next_top
            call getname
            ld hl,(forsp)       ; the newest loop's variable, most likely:
            ld bc,forstk        ; its name lies just before its value
            or a
            sbc hl,bc
            jr z,st_next_find
            add hl,bc
            ld bc,-forsize
            add hl,bc
            push hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            dec hl
            ld a,(hl)
            dec hl
            ld c,(hl)
            ld hl,(name0)
            cp h
            jr nz,st_next_other
            ld a,c
            cp l
            jr nz,st_next_other
            pop hl
            jr st_next_entry
st_next_other:
            pop hl
st_next_find:
            call findvar
            jp nz,err_next
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
            ld (s_entry),hl
            ld c,(hl)
            inc hl
            ld b,(hl)           ; BC = cell
            inc hl
            ld a,(hl)
            inc hl              ; HL = limit
            or a
            jr z,st_next_int
            call next_plusone
            jr c,st_next_float
            jp z,st_next_again
            jp st_next_finished
st_next_float:
            push de
            ld d,h
            ld e,l              ; DE = limit
            ld h,b
            ld l,c
            call fp_load        ; the variable
            ex de,hl
            ld bc,5
            add hl,bc           ; the step
            call fp_add
            ex de,hl
            call fp_store
            ex de,hl            ; HL = step
            inc hl
            inc hl
            inc hl
            ld a,(hl)           ; byte 3 of the step holds its sign
            ld bc,-8
            add hl,bc           ; back to the limit
            ld b,a
            call fp_cmp         ; 1 above the limit, FFh below
            pop de
            bit 7,b
            jr nz,st_next_down
            dec a
            jr z,st_next_finished
            jr st_next_again
st_next_down:
            inc a
            jr z,st_next_finished
            jr st_next_again
st_next_int:
            push de
            ld e,(hl)
            inc hl
            ld d,(hl)           ; DE = limit
            ld a,4
            add a,l
            ld l,a
            jr nc,st_next_int1
            inc h
st_next_int1:
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a              ; HL = step
            push hl
            push de
            ld a,(bc)
            ld e,a
            inc bc
            ld a,(bc)
            ld d,a              ; DE = value
            ex de,hl
            or a
            adc hl,de
            jp pe,st_next_int_over
            ld a,h
            ld (bc),a
            dec bc
            ld a,l
            ld (bc),a
            ld b,h
            ld c,l
            pop hl              ; limit
            call compare16      ; value against limit: 4 above, 1 below
            pop hl              ; step
            pop de
            bit 7,h
            jr nz,st_next_idown
            cp 4
            jr z,st_next_finished
            jr st_next_again
st_next_idown:
            cp 1
            jr z,st_next_finished
            jr st_next_again
st_next_int_over:
            pop hl
            pop hl
            pop de
st_next_finished:
            ld hl,(s_entry)
            ld (forsp),hl
            ld a,(de)
            cp ' '
            call z,skipsp         ; NEXT I,J: the next loop out
            cp ','
            jp nz,nextstmt
            inc de
            jp st_next
st_next_again:
            ld hl,(s_entry)
            ld bc,13
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

; next_plusone: the common float loop, STEP 1 on a positive variable of
; at least 1 and below 2^31, adds the 1 in place to the mantissa and
; compares with the limit byte by byte. The sum is exact, as the general
; add's would be; where the exponent would grow (the variable reaches a
; power of two) the add is undone. HL = limit, BC = the variable. Carry:
; not taken (HL, BC kept); else Z: go round again, NZ: past the limit.
; Keeps DE.
next_plusone:
            push hl
            push de
            ld de,5
            add hl,de           ; the step must be 1: 00 00 00 00 81
            ld a,(hl)
            inc hl
            or (hl)
            inc hl
            or (hl)
            inc hl
            or (hl)
            jp nz,npo_no
            inc hl
            ld a,(hl)
            cp 81h
            jr nz,npo_no
            ld h,b
            ld l,c
            inc hl
            inc hl
            inc hl
            bit 7,(hl)
            jr nz,npo_no        ; a negative variable
            inc hl
            ld a,0A0h
            sub (hl)            ; the units bit's place in the mantissa
            jr c,npo_no         ; 2^32 or more
            cp 32
            jr nc,npo_no        ; below 1, or 0
            ld d,a
            and 7
            ld e,a
            ld a,1
            inc e
            jr npo_shtest
npo_shift:  add a,a
npo_shtest: dec e
            jr nz,npo_shift
            ld e,a              ; E = the units bit within its byte
            call npo_byte
            ld a,(hl)
            add a,e
            ld (hl),a
            jr nc,npo_added
npo_carry:  inc hl              ; the top byte (below 80h) cannot wrap
            inc (hl)
            jr z,npo_carry
npo_added:  ld h,b
            ld l,c
            inc hl
            inc hl
            inc hl
            or a
            bit 7,(hl)          ; the hidden leading 1 carried out:
            call nz,npo_grow    ; one place right, the exponent up
            jr c,npo_undo
            inc hl              ; HL = the variable's exponent
            pop de
            ex (sp),hl          ; HL = limit
            pop bc              ; BC = the variable's exponent
            inc hl
            inc hl
            inc hl
            bit 7,(hl)
            jr nz,npo_past      ; a negative limit
            inc hl
            ld a,(hl)
            or a
            jr z,npo_past       ; a limit of 0
            ld a,(bc)           ; exponent, then the mantissa from the top
            cp (hl)
            jr nz,npo_decided
            dec bc
            dec hl
            ld a,(bc)
            cp (hl)
            jr nz,npo_decided
            dec bc
            dec hl
            ld a,(bc)
            cp (hl)
            jr nz,npo_decided
            dec bc
            dec hl
            ld a,(bc)
            cp (hl)
            jr nz,npo_decided
            dec bc
            dec hl
            ld a,(bc)
            cp (hl)
            jr nz,npo_decided
            xor a               ; equal to the limit: round again
            ret
npo_decided:
            jr c,npo_again
npo_past:   or 1                ; NZ, no carry
            ret
npo_again:  xor a
            ret
npo_undo:   call npo_byte
            ld a,(hl)
            sub e
            ld (hl),a
            jr nc,npo_no
npo_borrow: inc hl
            ld a,(hl)
            sub 1
            ld (hl),a
            jr c,npo_borrow
npo_no:     pop de
            pop hl
            scf
            ret

; npo_grow: the mantissa at BC one place right and the exponent one up,
; HL = BC+3. Carry, nothing changed: the bit shifted out would be a 1.
npo_grow:   ld a,(bc)
            rrca
            ret c
            res 7,(hl)
            srl (hl)
            dec hl
            rr (hl)
            dec hl
            rr (hl)
            dec hl
            rr (hl)
            inc hl
            inc hl
            inc hl
            inc hl
            inc (hl)
            dec hl
            or a
            ret

; npo_byte: HL := the byte of the variable at BC that holds bit D of its
; mantissa.
npo_byte:   ld a,d
            rrca
            rrca
            rrca
            and 3
            add a,c
            ld l,a
            ld a,b
            adc a,0
            ld h,a
            ret

; PRINT items separated by ; or , (the comma moves to the next 10-column
; zone); a trailing separator keeps the line open. Numbers are shown with
; a blank or minus sign before them and a blank after.
st_lprint:  ld a,1
            ld (outdev),a
st_print:   call atend
            jr nz,st_print_item
            call crlf
            jp screenout
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

; TAB(n): blanks up to column n.
pr_tab:     call getint
            call checkbyte
            call closeparen
pr_tab_pad: call outcol
            cp l
            ret nc
            cp scrcols-1
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

; INPUT ["prompt";] v [, v ...]. Answers are separated by commas; a string
; answer may be quoted. An answer that is not a number asks for all of
; them again; answers left over are ignored with a note.
st_input:   ld a,(de)
            cp ' '
            call z,skipsp
            ld hl,0
            ld (s_lo),hl        ; the prompt
            cp '"'
            jr nz,st_input_ask0
            ld (s_lo),de
            call expr           ; skip the literal
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ';'
            jr z,st_input_psep
            cp ','
            jp nz,err_syntax
st_input_psep:
            inc de
st_input_ask0:
            ld (s_input),de
st_input_ask:
            ld de,(s_lo)
            ld a,d
            or e
            jr z,st_input_noprompt
            call expr
            call putdesc
st_input_noprompt:
            call askline
            ld de,(s_input)
st_input_var:
            call resettemps
            call varaddr
            push hl
            ld a,(numtype)
            push af
            call answer         ; the value, from the answer line
            jr c,st_input_retry
            pop af
            pop bc
            call storeval
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr nz,st_input_done
            inc de
            ld hl,(inptr)       ; the answer ran out: ask for more
            ld a,(hl)
            cp 0Dh
            jr nz,st_input_var
            ld a,'?'
            call putch
            call askline
            jr st_input_var
st_input_done:
            ld hl,(inptr)
            ld a,(hl)
            cp 0Dh
            jp z,nextstmt
            ld hl,m_extra
            call puts
            call crlf
            jp nextstmt
st_input_retry:
            pop af
            pop af
            ld hl,m_retype
            call puts
            call crlf
            jr st_input_ask

; askline: "? " and an answer line into inbuf; inptr := its start.
askline:    ld a,'?'
            call putch
            ld a,' '
            call putch
            call cacheclear     ; the answer takes inbuf
            ld hl,inbuf
            call getline
            jp c,err_break
            ld (inptr),hl
            ret

; answer: the next answer from inptr as a value of type A; inptr moves
; past it and its comma. Carry when a number was asked for and the answer
; is not one. Keeps DE.
answer:     push de
            ld de,(inptr)
            call datum
            ld (inptr),de
            pop de
            ret

; datum: the item at DE (of INPUT or DATA: a number, a quoted string or
; text up to the next comma, colon or line end) as a value of type A; DE
; past it and past its comma. Carry when a number does not read.
datum:      push af
            ld a,(de)
            cp ' '
            call z,skipsp
            pop af
            cp 2
            jr z,datum_string
            ld b,0              ; sign
            ld a,(de)
            cp '+'
            jr z,datum_sign
            cp '-'
            jr nz,datum_num
            inc b
datum_sign: inc de
datum_num:  ex de,hl
            call fp_parse
            ex de,hl
            ret c
            ld a,b
            or a
            call nz,fp_neg
            call floatresult
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr z,datum_comma
            cp ':'
            ret z
            cp 0Dh
            ret z
            scf
            ret
datum_comma:
            inc de
            or a
            ret
datum_string:
            ld a,(de)
            cp '"'
            jr nz,datum_bare
            inc de
            ld h,d
            ld l,e
            ld b,0
datum_quoted:
            ld a,(de)
            cp 0Dh
            jr z,datum_qend
            inc de
            cp '"'
            jr z,datum_qend
            inc b
            jr datum_quoted
datum_qend: ld a,b
            call newtemp
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr z,datum_comma
            or a
            ret
datum_bare: ld h,d
            ld l,e
            ld b,0
datum_bare_loop:
            ld a,(de)
            cp 0Dh
            jr z,datum_bend
            cp ','
            jr z,datum_bend
            cp ':'
            jr z,datum_bend
            inc de
            inc b
            jr datum_bare_loop
datum_bend: push hl             ; trailing blanks are not part of it
datum_trim: ld a,b
            or a
            jr z,datum_trimmed
            push hl
            ld a,b
            dec a
            add a,l
            ld l,a
            jr nc,datum_trim_nc
            inc h
datum_trim_nc:
            ld a,(hl)
            pop hl
            cp ' '
            jr nz,datum_trimmed
            dec b
            jr datum_trim
datum_trimmed:
            pop hl
            ld a,b
            call newtemp
            ld a,(de)
            cp ','
            jr z,datum_comma
            or a
            ret

; READ v [, v ...]: the next items of the DATA statements.
st_read:    call resettemps
            call varaddr
            push hl
            ld a,(numtype)
            push af
            call nextdata
            push de
            ld de,(dataptr)
            call datum
            jp c,err_syntaxdata
            ld (dataptr),de
            pop de
            pop af
            pop bc
            call storeval
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jp nz,nextstmt
            inc de
            jr st_read

; nextdata: dataptr := the next datum, moving on to the next DATA
; statement when this one is used up; OUT OF DATA after the last. Keeps
; DE, AF (s_type := A).
nextdata:   ld (s_type),a
            push de
            ld hl,(dataptr)
            ld a,h
            or l
            jr z,nextdata_find
            ex de,hl
            ld a,(de)
            cp ' '
            call z,skipsp
            ex de,hl
            cp ':'
            jr z,nextdata_scan
            cp 0Dh
            jr nz,nextdata_have
nextdata_scan:
            ; look on from HL for the next DATA token
            ld a,(hl)
            cp 0Dh
            jr z,nextdata_nextrec
            inc hl
            cp t_data
            jr z,nextdata_have
            cp '"'
            jr nz,nextdata_scan
nextdata_q: ld a,(hl)
            cp 0Dh
            jr z,nextdata_nextrec
            inc hl
            cp '"'
            jr nz,nextdata_q
            jr nextdata_scan
nextdata_nextrec:
            ld hl,(datarec)
            ld c,(hl)
            ld b,0
            add hl,bc
            jr nextdata_rec
nextdata_find:
            ld hl,(datarec)
            ld a,h
            or l
            jr nz,nextdata_rec
            ld hl,progbase
nextdata_rec:
            call isrecord
            jp c,err_nodata
            ld (datarec),hl
            inc hl
            inc hl
            inc hl
            jr nextdata_scan
nextdata_have:
            ld (dataptr),hl
            pop de
            ld a,(s_type)
            ret

; RESTORE [line]: READ starts again at the first DATA (of the line).
st_restore: ld hl,0
            ld (dataptr),hl
            ld (datarec),hl
            call atend
            jp z,nextstmt
            call getint
            call findexact
            ld (datarec),hl
            jp nextstmt

; DEF FN name[(p1,...,p4)]=expression: the function remembers where its
; parameter list (or its "=") is; the parameters (number or string
; variables) are made now, so that calling the function moves nothing.
st_def:     ld hl,(curline)
            ld a,h
            or l
            jp z,err_direct
            ld a,(de)
            cp ' '
            call z,skipsp
            cp t_fn
            jp nz,err_syntax
            inc de
            call fnname
            call simpleaddr
            ld (hl),e
            inc hl
            ld (hl),d
            call skipsp
            cp '('
            jr nz,st_def_body
            inc de
            ld b,4
st_def_param:
            push bc
            call getname
            call simpleaddr
            pop bc
            call skipsp
            inc de
            cp ','
            jr nz,st_def_close
            djnz st_def_param
            jp err_syntax       ; a fifth parameter
st_def_close:
            cp ')'
            jp nz,err_syntax
st_def_body:
            ld c,'='
            call need
            call skipstmt
            jp nextstmt

; fnname: the name of a function at DE into name0/name1.
fnname:     call getname
            ld a,(name0)
            and 1Fh
            ld (name0),a
            ret

; FN name[(arguments)] in an expression. The arguments are worked out
; onto the value stack first (a string variable's as a temporary copy, so
; that a parameter given another parameter's value still gets the old
; one). Then each parameter's cell and old value go onto the processor
; stack, a frame that fnframe links to the caller's (an error puts the
; old values back through it; a string's heap block belongs to the frame
; meanwhile), the arguments go into the parameters and the function's
; expression runs. Frame, upwards: the number of parameters, 8 bytes a
; parameter (value, type, cell; the last parameter first), the caller's
; frame, the caller's text.
fn_call:    inc de
            call fnname
            call findvar
            jp nz,err_undef
            push hl             ; the function's cell
            ld b,0
            call skipsp
            cp '('
            jr nz,fn_call_counted
            inc de
fn_call_arg:
            push bc
            call expr
            ld a,(vtype)
            cp 2
            jr nz,fn_call_argval
            ld a,h              ; not a temporary descriptor already
            cp tmpdesc/256
            jr z,fn_call_argval
            ld a,(hl)
            inc hl
            ld c,(hl)
            inc hl
            ld h,(hl)
            ld l,c
            call newtemp
fn_call_argval:
            call vpush
            pop bc
            inc b
            call skipsp
            inc de
            cp ','
            jr z,fn_call_arg
            cp ')'
            jp nz,err_syntax
fn_call_counted:
            ld a,b
            ld (fnargs),a
            xor a
            ld (fnparams),a
            pop hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            push de             ; the caller's text
            ld de,(fnframe)
            push de
            ex de,hl            ; the definition, after the name
            call skipsp
            cp '('
            jr nz,fn_call_bound
            inc de
fn_call_param:
            ld hl,fnparams
            inc (hl)
            ld a,(fnargs)
            cp (hl)
            jp c,err_argument   ; more parameters than arguments
            call getname
            call findvar
            jp nz,err_undef
            push hl             ; the cell
            ld bc,4
            add hl,bc
            ld a,(numtype)
            ld b,a
            ld c,(hl)
            push bc             ; its last value byte and its type
            dec hl
            ld b,(hl)
            dec hl
            ld c,(hl)
            push bc
            dec hl
            ld b,(hl)
            dec hl
            ld c,(hl)
            push bc
            call skipsp
            inc de
            cp ','
            jr z,fn_call_param
            cp ')'
            jp nz,err_syntax
fn_call_bound:
            ld c,'='
            call need
            ld a,(fnparams)
            ld c,a
            ld a,(fnargs)
            cp c
            jp nz,err_argument  ; fewer parameters than arguments
            push bc
            ld (fnframe),sp
            ld hl,2
            add hl,sp           ; the last parameter's entry
            ld b,c
            inc b
            jr fn_call_set_next
fn_call_set:
            push bc
            push hl             ; the entry
            ld bc,5
            add hl,bc
            ld a,(hl)           ; the type
            inc hl
            ld c,(hl)
            inc hl
            ld b,(hl)           ; the cell
            pop hl
            push hl
            push bc
            push af
            cp 2                ; a string's old block belongs to the entry
            jr nz,fn_call_setval ; from now on (the frame is linked: an
            push de             ; error gives it back)
            ex de,hl
            ld h,b
            ld l,c
            call fnowner
            pop de
fn_call_setval:
            call vpop           ; its argument
            ld a,(argval)
            ld (vtype),a
            ld hl,(argval+1)
            cp 1
            call z,loadarg
            pop af
            pop bc
            call storeval
            ld a,(argval)       ; a string argument's temporary descriptor
            cp 2                ; is given back
            ld hl,(argval+1)
            call z,freetemp
            pop hl
            ld bc,8
            add hl,bc
            pop bc
fn_call_set_next:
            djnz fn_call_set
            call expr           ; the function's expression
            ld a,(vtype)
            cp 2
            call z,fnownstr
            call vpush          ; its value, while the parameters come back
            ld hl,0
            add hl,sp
            call fnrestore
            ld (fnframe),hl
            ex de,hl
            ld sp,hl
            pop de              ; the caller's text
            call vpop
            ld a,(argval)
            ld (vtype),a
            ld hl,(argval+1)
            cp 1
            ret nz
            jp loadarg

; fnunwind: every FN call an error cuts short gives its parameters their
; values back. Keeps HL.
fnunwind:   push hl
            ld hl,(fnframe)
fnunwind_loop:
            ld a,h
            or l
            jr z,fnunwind_done
            call fnrestore
            jr fnunwind_loop
fnunwind_done:
            ld (fnframe),hl
            pop hl
            ret

; fnrestore: the parameters saved in the FN frame at HL get their old
; values back. HL := the caller's frame, DE := the first byte past this
; frame's link.
fnrestore:  ld b,(hl)
            inc hl
            inc hl
            inc b
            jr fnrestore_next
fnrestore_one:
            push bc
            push hl             ; the entry
            ld bc,5
            add hl,bc
            ld a,(hl)           ; the type
            inc hl
            ld e,(hl)
            inc hl
            ld d,(hl)           ; the cell
            pop hl
            push hl
            push de
            push af
            ld bc,5
            ldir
            pop af
            pop de
            pop hl
            push hl
            cp 2                ; a string's block belongs to the cell again
            call z,fnowner
            pop hl
            ld bc,8
            add hl,bc
            pop bc
fnrestore_next:
            djnz fnrestore_one
            ld e,(hl)
            inc hl
            ld d,(hl)
            inc hl
            ex de,hl
            ret

; fnowner: the heap block of the string descriptor HL, when it owns one,
; gets DE as its owner. Keeps DE.
fnowner:    call blockowner
            ret nz
            ld (hl),e
            inc hl
            ld (hl),d
            ret

; fnownstr: the string HL a function gives becomes a temporary descriptor
; owning its block (a copy when it is not one), as its parameters are
; about to get their old values back. Keeps DE.
fnownstr:   ld a,h
            cp tmpdesc/256
            jr nz,fnownstr_copy
            push hl
            call blockowner
            pop hl
            ret z
fnownstr_copy:
            ld bc,zeroval       ; "" + the string
            ld (argval+1),bc
            jp concat

; RANDOMIZE [n]: a new start for RND, from n or from the clock.
st_randomize:
            call atend
            jr z,st_randomize_clock
            call getnum
            call tofloat
            push de
            ld hl,ftemp
            call fp_store
            ld de,fp_seed
            ld bc,4
            ldir
            pop de
            jp nextstmt
st_randomize_clock:
            ld hl,(ticks)
            ld a,r
            xor l
            ld l,a
            ld (fp_seed),hl
            ld a,r
            ld (fp_seed+2),a
            ld a,h
            or 1
            ld (fp_seed+3),a
            jp nextstmt

; GET v: the next key without waiting: a string variable gets it as a
; one-character string ("" when none waits), a number variable its code
; (0 when none).
st_get:     call varaddr
            push hl
            ld a,(numtype)
            push af
            cp 2
            jr z,st_get_str
            call inkey
            ld l,a
            ld h,0
            call intresult
            jr st_get_store
st_get_str: call fn_inkeys
st_get_store:
            pop af
            pop bc
            call storeval
            jp nextstmt

st_poke:    call getaddr
            push hl
            ld c,','
            call need
            call getbyte
            pop hl
            ld (hl),a
            jp nextstmt

st_out:     call getbyte
            push hl
            ld c,','
            call need
            call getbyte
            pop bc
            out (c),a
            jp nextstmt

; SOUND n: the control byte n to the sound chip.
st_sound:   call getbyte
            out (6),a
            jp nextstmt

; LIST [first][-[last]]
st_llist:   ld a,1
            ld (outdev),a
st_list:    ld hl,0
            ld (s_lo),hl
            ld hl,7FFFh
            ld (s_hi),hl
            ld a,(de)
            cp ' '
            call z,skipsp
            call isdigit
            jr nc,st_list_nofirst
            call readuint
            jp c,err_lineno
            ld (s_lo),hl
            ld (s_hi),hl
            ld a,(de)
            cp ' '
            call z,skipsp
            cp '-'
            jr nz,st_list_go
            ld hl,7FFFh
            ld (s_hi),hl
            jr st_list_dash
st_list_nofirst:
            cp '-'
            jr nz,st_list_go
st_list_dash:
            inc de
            ld a,(de)
            cp ' '
            call z,skipsp
            call isdigit
            jr nc,st_list_go
            call readuint
            jp c,err_lineno
            ld (s_hi),hl
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
