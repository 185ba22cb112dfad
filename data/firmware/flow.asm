; Control flow: finding a line, GOTO, GOSUB, RETURN, ON, IF, FOR and NEXT.
; DE is the text pointer; each statement ends by jumping to nextstmt.

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

; gopush: the same entry for a WHILE (the record curline and the text DE;
; GOSUB keeps its own copy of these lines for speed). Keeps DE.
gopush:
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
            ret

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
            ld a,(de)           ; a WHILE still open: no GOSUB to go back to
            cp t_while
            jp z,err_return
            jp nextstmt

; ON e GOTO|GOSUB line, line, ...: the e-th line; an e outside the list
; goes on with the next statement.
st_on:      ld a,(de)
            cp ' '
            call z,skipsp
            cp t_error
            jp z,st_onerror
            call getint
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
            ld c,0              ; IFs met since, each taking the next ELSE
st_if_scan: ld a,(de)           ; look for our ELSE on the rest of the line
            cp 0Dh
            jp z,endofline
            inc de
            cp t_if
            jr z,st_if_inner
            cp t_else
            jr nz,st_if_notelse
            dec c
            jp m,st_if_do       ; no inner IF left: the ELSE is ours
            jr st_if_scan
st_if_inner:
            inc c
            jr st_if_scan
st_if_notelse:
            cp '"'
            jr nz,st_if_scan
st_if_quote:
            ld a,(de)
            cp 0Dh
            jp z,endofline
            inc de
            cp '"'
            jr nz,st_if_quote
            jr st_if_scan

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
            ld a,(s_type)       ; a % loop's step cut to 0 (STEP 0.5)
            or a                ; would never end
            jr nz,st_for_done
            ld a,h
            or l
            jp z,err_argument
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
            call fp_cmp         ; a step too small to move the variable
            or a
            call z,next_nudge
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

; WHILE condition ... WEND: while the condition holds, the statements up to
; the matching WEND run, and WEND goes back to the WHILE. A WHILE whose
; condition holds takes a GOSUB entry whose text is the WHILE itself, so
; RETURN and WEND each refuse the other's entry (nesting is checked).
st_while:   push de             ; the WHILE, for the entry
            inc de
            call expr
            call truth
            pop hl
            jr z,st_while_false
            push de
            ex de,hl
            call gopush
            pop de
            jp nextstmt
st_while_false:                 ; on after the matching WEND
            ld hl,(curline)     ; (the WHILE's line, for the error)
            push hl
            ld c,0              ; WHILEs met on the way
st_while_scan:
            ld a,(de)
            inc de
            cp 0Dh
            jr z,st_while_line
            cp '"'
            jr z,st_while_quote
            cp t_rem
            jr z,st_while_line
            cp t_while
            jr nz,st_while_notw
            inc c
st_while_notw:
            cp t_wend
            jr nz,st_while_scan
            dec c
            jp p,st_while_scan
            pop hl
            jp nextstmt
st_while_quote:
            ld a,(de)
            inc de
            cp 0Dh
            jr z,st_while_line
            cp '"'
            jr nz,st_while_quote
            jr st_while_scan
st_while_line:
            ld hl,(curline)     ; the next line, if there is one
            ld a,h
            or l
            jr z,st_while_none
            ld e,(hl)
            ld d,0
            add hl,de
            call isrecord
            jr c,st_while_none
            ld (curline),hl
            inc hl
            inc hl
            inc hl
            ex de,hl
            jr st_while_scan
st_while_none:
            pop hl
            ld (curline),hl
            jp err_while

; WEND: back to the WHILE of the newest entry, which tests again.
st_wend:    ld hl,(gosubsp)
            ld bc,gosubstk
            or a
            sbc hl,bc
            jp z,err_wend
            add hl,bc
            dec hl
            ld d,(hl)
            dec hl
            ld e,(hl)
            dec hl
            ld b,(hl)
            dec hl
            ld c,(hl)
            ld a,(de)
            cp t_while
            jp nz,err_wend
            ld (gosubsp),hl
            ld (curline),bc
            jp execstmt

; next_nudge: the step at DE left the variable (FPA) as it was, as a step
; of 1 does beyond 2^32 where the numbers are 2 apart and the sum rounds
; back (4294967299 is as near 4294967300 as 4294967298): FPA moves on to
; the next number in the step's direction, so the loop still reaches its
; limit. A step of 0 moves nothing. Keeps DE, HL.
next_nudge: push hl
            ld h,d
            ld l,e
            inc hl
            inc hl
            inc hl
            ld b,(hl)           ; the step's sign
            inc hl
            ld a,(hl)
            or a
            jr z,next_nudge_done
            ld a,(fpa_s)
            xor b
            and 80h             ; 0: away from 0
            ld hl,(fpa)
            exx
            ld hl,(fpa+2)
            exx
            ld bc,1
            jr nz,next_nudge_in
            add hl,bc           ; one more unit in the last place
            exx
            ld bc,0
            adc hl,bc
            exx
            jr nc,next_nudge_set
            exx                 ; 2^n: the mantissa's top bit, one place up
            ld h,80h
            exx
            ld a,(fpa_e)
            inc a
            jp z,err_overflow
            ld (fpa_e),a
            jr next_nudge_set
next_nudge_in:
            or a                ; one unit less
            sbc hl,bc
            exx
            ld bc,0
            sbc hl,bc
            bit 7,h
            exx
            jr nz,next_nudge_set
            ld hl,0FFFFh        ; below 2^n: all ones, one place down
            exx
            ld hl,0FFFFh
            exx
            ld a,(fpa_e)
            dec a
            ld (fpa_e),a
next_nudge_set:
            ld (fpa),hl
            exx
            ld (fpa+2),hl
            exx
next_nudge_done:
            pop hl
            ret
