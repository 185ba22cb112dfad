; Expressions: 16-bit signed integers. From the loosest binding:
; OR, AND, NOT, comparisons (= <> < > <= >=, true is -1 and false 0),
; + and -, * / and MOD, unary minus, then numbers, variables A-Z,
; parentheses and the functions PEEK, INP, RND and ABS. DE walks the text
; throughout; results come back in HL. Overflow and division by zero stop
; with an error.

; skipsp: skip blanks at DE; A := the character there.
skipsp:     ld a,(de)
            cp ' '
            ret nz
            inc de
            jr skipsp

; need: the next non-blank character must be C; step past it.
need:       call skipsp
            cp c
            jp nz,err_syntax
            inc de
            ret

; matchword: does the text at DE start with the word at HL (last letter
; has bit 7 set)? Z: yes, DE is past it. NZ: no, DE unchanged. Either way
; HL ends past the word. Uses A, C.
matchword:  push de
matchword_loop:
            ld a,(hl)
            and 7Fh
            ld c,a
            ld a,(de)
            cp c
            jr nz,matchword_fail
            ld a,(hl)
            inc hl
            inc de
            bit 7,a
            jr z,matchword_loop
            inc sp
            inc sp
            xor a
            ret
matchword_fail:
            ld a,(hl)
            inc hl
            bit 7,a
            jr z,matchword_fail
            pop de
            or 1
            ret

; word: skip blanks, then does the text start with the word at HL? Z: yes,
; DE past it. NZ: no, DE unchanged. HL is not kept. Uses A, C.
word:       call skipsp
            cp (hl)
            ret nz              ; most words fail on their first letter
            jr matchword

; lookup: find the word at DE in the table at HL (words in alphabetical
; order of their first letters, each followed by a handler address, ended
; by 0). Z: HL := the handler, DE past the word.
; Keeps BC.
lookup:     push bc
            ld a,(de)
            ld b,a
lookup_entry:
            ld a,(hl)
            or a
            jr z,lookup_none
            and 7Fh
            cp b
            jr z,lookup_try
            jr nc,lookup_none   ; tables are in alphabetical order
lookup_skip:
            ld a,(hl)           ; past the word and its handler address
            inc hl
            rla
            jr nc,lookup_skip
            inc hl
            inc hl
            jr lookup_entry
lookup_try: call matchword
            jr z,lookup_found
            inc hl
            inc hl
            jr lookup_entry
lookup_found:
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            pop bc
            xor a
            ret
lookup_none:
            pop bc
            inc a
            ret

jphl:       jp (hl)

; isletter: carry when A is A-Z.
isletter:   cp 'A'
            ccf
            ret nc
            cp 'Z'+1
            ret

; readuint: the decimal number at DE into HL. Carry if it is above 65535.
readuint:   ld hl,0
readuint_loop:
            ld a,(de)
            sub '0'
            cp 10
            jr nc,readuint_done
            push bc
            ld b,h
            ld c,l
            add hl,hl
            jr c,readuint_over
            add hl,hl
            jr c,readuint_over
            add hl,bc
            jr c,readuint_over
            add hl,hl
            jr c,readuint_over
            ld c,a
            ld b,0
            add hl,bc
            jr c,readuint_over
            pop bc
            inc de
            jr readuint_loop
readuint_done:
            or a
            ret
readuint_over:
            pop bc
            scf
            ret

; varaddr: the variable letter at DE; HL := its cell, DE past it.
varaddr:    call skipsp
            call isletter
            jp nc,err_syntax
            inc de
            sub 'A'
            add a,a
            ld l,a
            ld h,vars/256
            ret

; expr: a full expression into HL. Parentheses nest through here; the
; stack may not run into the last 256 bytes above the program area.
expr:       ld hl,0
            add hl,sp
            ld a,h
            cp (memtop/256)+1
            jp c,err_nesting
            call andexpr
expr_loop:  push hl
            ld hl,w_or
            call word
            pop hl
            ret nz
            push hl
            call andexpr
            pop bc
            ld a,h
            or b
            ld h,a
            ld a,l
            or c
            ld l,a
            jr expr_loop

andexpr:    call notexpr
andexpr_loop:
            push hl
            ld hl,w_and
            call word
            pop hl
            ret nz
            push hl
            call notexpr
            pop bc
            ld a,h
            and b
            ld h,a
            ld a,l
            and c
            ld l,a
            jr andexpr_loop

notexpr:    ld hl,w_not
            call word
            jr nz,relexpr
            call notexpr
            ld a,h
            cpl
            ld h,a
            ld a,l
            cpl
            ld l,a
            ret

; relexpr: a sum, optionally compared with another. The operator becomes
; a bit set in B: 1 less, 2 equal, 4 greater; the result is true when the
; actual relation's bit is in the set.
relexpr:    call sumexpr
            call skipsp
            ld b,0
relexpr_op: cp '<'
            jr nz,relexpr_not_lt
            set 0,b
            jr relexpr_more
relexpr_not_lt:
            cp '='
            jr nz,relexpr_not_eq
            set 1,b
            jr relexpr_more
relexpr_not_eq:
            cp '>'
            jr nz,relexpr_ops_done
            set 2,b
relexpr_more:
            inc de
            ld a,(de)
            jr relexpr_op
relexpr_ops_done:
            ld a,b
            or a
            ret z
            push bc
            push hl
            call sumexpr
            pop bc              ; BC = left, HL = right
            call compare        ; A := 1 less, 2 equal, 4 greater
            pop bc
            and b
            ld hl,0
            ret z
            dec hl
            ret

; compare: signed comparison of BC (left) with HL (right). A := 1 when
; left < right, 2 when equal, 4 when greater.
compare:    push de
            ld a,h
            xor 80h
            ld d,a
            ld e,l
            ld a,b
            xor 80h
            ld h,a
            ld l,c
            or a
            sbc hl,de
            pop de
            ld a,1
            ret c
            ld a,2
            ret z
            ld a,4
            ret

sumexpr:    call term
sumexpr_loop:
            call skipsp
            cp '+'
            jr z,sumexpr_add
            cp '-'
            ret nz
            inc de
            push hl
            call term
            pop bc
            push bc
            ex (sp),hl          ; HL = left, stack = right
            pop bc
            or a
            sbc hl,bc
            jp pe,err_overflow
            jr sumexpr_loop
sumexpr_add:
            inc de
            push hl
            call term
            pop bc
            or a
            adc hl,bc
            jp pe,err_overflow
            jr sumexpr_loop

term:       call unary
term_loop:  call skipsp
            cp '*'
            jr z,term_mul
            cp '/'
            jr z,term_div
            cp 'M'
            ret nz
            push hl
            ld hl,w_mod
            call matchword
            pop hl
            ret nz
            push hl
            call unary
            pop bc
            call divide
            ld h,b              ; MOD keeps the remainder
            ld l,c
            jr term_loop
term_mul:   inc de
            push hl
            call unary
            pop bc
            call multiply
            jr term_loop
term_div:   inc de
            push hl
            call unary
            pop bc
            call divide
            jr term_loop

unary:      call skipsp
            cp '-'
            jr z,unary_neg
            cp '+'
            jr nz,factor
            inc de
            jr unary
unary_neg:  inc de
            ld a,(de)           ; a minus sign written on a number: -32768
            call isdigit        ; is a number of its own
            jr nc,unary_negexpr
            call readuint
            jp c,err_overflow
            ld a,h
            xor 80h
            or l
            ret z
            jr negate
unary_negexpr:
            call unary
negate:     xor a
            sub l
            ld l,a
            sbc a,a
            sub h
            ld h,a
            ld a,h
            cp 80h
            ret nz
            ld a,l
            or a
            ret nz
            jp err_overflow     ; -(-32768)

factor:     call skipsp
            cp '('
            jr nz,factor_notparen
            inc de
            call expr
            ld c,')'
            jp need
factor_notparen:
            cp '0'
            jr c,factor_notnum
            cp '9'+1
            jr nc,factor_notnum
            call readuint
            jp c,err_overflow
            ret
factor_notnum:
            inc de              ; a letter and no letter after it is a
            ld a,(de)           ; variable: every function name is longer
            dec de
            call isletter
            jr nc,factor_notfunc
            ld hl,funcwords
            call lookup
            jr nz,factor_notfunc
            push hl
            call parenarg
            pop bc              ; BC = handler, HL = argument
            push bc
            ret                 ; the handler returns to our caller
factor_notfunc:
            ld a,(de)
            call isletter
            jp nc,err_syntax
            call varaddr
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ret

; parenarg: "(" expression ")" into HL.
parenarg:   ld c,'('
            call need
            call expr
            push hl
            ld c,')'
            call need
            pop hl
            ret

fn_peek:    ld l,(hl)
            ld h,0
            ret

fn_inp:     ld c,l
            in l,(c)
            ld h,0
            ret

fn_abs:     bit 7,h
            ret z
            jr negate

; RND(n): a number from 1 to n.
fn_rnd:     ld a,h
            or a
            jp m,err_argument
            or l
            jp z,err_argument
            push de
            push hl
            ld hl,(rndseed)     ; seed := seed * 25173 + 13849
            ld bc,25173
            call umul16
            ld bc,13849
            add hl,bc
            ld (rndseed),hl
            ld b,h              ; top 15 bits, taken modulo n
            ld c,l
            srl b
            rr c
            pop de
            call udiv16
            inc hl
            pop de
            ret

; umul16: HL := HL * BC modulo 65536. Uses A, DE.
umul16:     ex de,hl
            ld hl,0
            ld a,16
umul16_loop:
            add hl,hl
            sla c
            rl b
            jr nc,umul16_skip
            add hl,de
umul16_skip:
            dec a
            jr nz,umul16_loop
            ret

; udiv16: BC := BC / DE, HL := BC mod DE, unsigned, DE not 0. Uses A.
udiv16:     ld hl,0
            ld a,16
udiv16_loop:
            sla c
            rl b
            adc hl,hl
            or a
            sbc hl,de
            jr nc,udiv16_fits
            add hl,de
            jr udiv16_next
udiv16_fits:
            inc c
udiv16_next:
            dec a
            jr nz,udiv16_loop
            ret

; multiply: HL := BC * HL, signed, with overflow checked.
multiply:   push de
            ld a,b
            xor h
            push af             ; sign of the product in bit 7
            bit 7,b
            jr z,multiply_bpos
            xor a
            sub c
            ld c,a
            sbc a,a
            sub b
            ld b,a
multiply_bpos:
            bit 7,h
            jr z,multiply_hpos
            xor a
            sub l
            ld l,a
            sbc a,a
            sub h
            ld h,a
multiply_hpos:
            ex de,hl            ; DE, BC = magnitudes
            ld h,b              ; the smaller one drives the loop
            ld l,c
            or a
            sbc hl,de
            jr c,multiply_ordered
            push de
            ld d,b
            ld e,c
            pop bc
multiply_ordered:
            ld hl,0
multiply_loop:
            srl b
            rr c
            jr nc,multiply_skip
            add hl,de
            jr c,multiply_over
multiply_skip:
            ld a,b
            or c
            jr z,multiply_done
            ex de,hl            ; bits remain: the next one is worth twice
            add hl,hl
            ex de,hl
            jr nc,multiply_loop
multiply_over:
            jp err_overflow
multiply_done:
            pop af
            pop de
            jr signfix

; signfix: give the magnitude HL the sign in bit 7 of A, with overflow
; checked (only -32768 may use the top bit).
signfix:    bit 7,h
            jr z,signfix_fits
            ; a magnitude of 32768 or more fits only as -32768
            or a
            jp p,err_overflow
            ld a,h
            cp 80h
            jp nz,err_overflow
            ld a,l
            or a
            jp nz,err_overflow
            ret
signfix_fits:
            or a
            ret p
            jp negate

; divide: BC / HL, signed, rounded toward zero. HL := quotient, BC :=
; remainder (with the sign of BC).
divide:     ld a,h
            or l
            jp z,err_divzero
            push de
            ld a,b
            push af             ; sign of the dividend, for the remainder
            xor h
            push af             ; sign of the quotient
            bit 7,b
            jr z,divide_bpos
            xor a
            sub c
            ld c,a
            sbc a,a
            sub b
            ld b,a
divide_bpos:
            bit 7,h
            jr z,divide_hpos
            xor a
            sub l
            ld l,a
            sbc a,a
            sub h
            ld h,a
divide_hpos:
            ex de,hl
            call udiv16         ; BC quotient, HL remainder
            pop af
            push hl
            ld h,b
            ld l,c
            call signfix        ; HL := signed quotient
            pop bc              ; remainder magnitude
            pop af
            bit 7,a
            jr z,divide_rpos
            xor a
            sub c
            ld c,a
            sbc a,a
            sub b
            ld b,a
divide_rpos:
            pop de
            ret

w_or:       db 'O', 'R'+80h
w_and:      db "AN", 'D'+80h
w_not:      db "NO", 'T'+80h
w_mod:      db "MO", 'D'+80h

funcwords:  db "AB", 'S'+80h
            dw fn_abs
            db "IN", 'P'+80h
            dw fn_inp
            db "PEE", 'K'+80h
            dw fn_peek
            db "RN", 'D'+80h
            dw fn_rnd
            db 0
