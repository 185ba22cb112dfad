; Expressions. A value has one of three types, kept in vtype (and A on
; return): 0, a 16-bit whole number in HL; 1, a floating-point number in
; the number package's accumulator; 2, a string, HL pointing at its
; descriptor (length, address), which the garbage collector keeps current.
; Whole numbers come from literals up to 32767, % variables, comparisons,
; AND, OR, NOT and most functions; a sum, difference, product or negation
; of whole numbers that leaves 16 bits carries on as a floating-point
; number, and / always gives one.
; From the loosest binding: OR, AND, NOT, comparisons (= <> < > <= >=, true
; is -1 and false 0), + and -, * / and MOD, unary minus, ^, then numbers,
; variables, parentheses and functions. DE walks the text throughout.

; skipsp: skip blanks at DE; A := the character there.
skipsp:     ld a,(de)
            cp ' '
            ret nz
            inc de
            jr skipsp

; need: the next non-blank character must be C; step past it.
need:       ld a,(de)
            cp ' '
            call z,skipsp
            cp c
            jp nz,err_syntax
            inc de
            ret

; isletter: carry when A is A-Z.
isletter:   cp 'A'
            ccf
            ret nc
            cp 'Z'+1
            ret

; isdigit: carry when A is 0-9.
isdigit:    cp '0'
            ccf
            ret nc
            cp '9'+1
            ret

jphl:       jp (hl)

; word: skip blanks, then does the text start with the word at HL (last
; letter with bit 7 set)? Z: yes, DE past it. NZ: no, DE unchanged.
word:       ld a,(de)
            cp ' '
            call z,skipsp
            push de
word_loop:  ld a,(hl)
            and 7Fh
            ld c,a
            ld a,(de)
            cp c
            jr nz,word_fail
            ld a,(hl)
            inc hl
            inc de
            bit 7,a
            jr z,word_loop
            pop af
            xor a
            ret
word_fail:  pop de
            or 1
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

; ---------------------------------------------------------------- the value stack
; vpush: the current value onto the value stack. Keeps DE, HL.
vpush:      push de
            push hl
            ld hl,(vsp)
            ld a,h
            cp vstack/256       ; the last slot ends at vstackend
            jp nz,err_nesting
            ld a,(vtype)
            ld (hl),a
            inc hl
            cp 1
            jr z,vpush_float
            pop de              ; whole number or descriptor address
            push de
            ld (hl),e
            inc hl
            ld (hl),d
            dec hl
            jr vpush_done
vpush_float:
            call fp_store
vpush_done: ld de,5
            add hl,de
            ld (vsp),hl
            pop hl
            pop de
            ret

; vpop: the top of the value stack into argval (type, 5 bytes). Keeps the
; current value (HL, the accumulator) and DE.
vpop:       push de
            push hl
            ld hl,(vsp)
            ld de,-6
            add hl,de
            ld (vsp),hl
            ld de,argval
            ldi
            ldi
            ldi
            ldi
            ldi
            ldi
            inc bc              ; (LDI counted BC down six)
            inc bc
            inc bc
            inc bc
            inc bc
            inc bc
            pop hl
            pop de
            ret

; ---------------------------------------------------------------- conversions
; tofloat: the current number into the accumulator; a string is a TYPE
; MISMATCH. Keeps BC, DE, HL.
tofloat:    ld a,(vtype)
            or a
            jr z,tofloat_int
            dec a
            ret z
            jp err_type
tofloat_int:
            call fp_from_int
            ld a,1
            ld (vtype),a
            ret

; toint: the current number into HL as a signed 16-bit number; OVERFLOW
; when it does not fit. Keeps BC, DE.
toint:      ld a,(vtype)
            or a
            ret z
            dec a
            jp nz,err_type
            call fp_to_int
            jp c,err_overflow
            xor a
            ld (vtype),a
            ret

; needstr: the current value must be a string. Keeps all but A.
needstr:    ld a,(vtype)
            cp 2
            ret z
            jp err_type

; neednum: the current value must be a number. Keeps all but A.
neednum:    ld a,(vtype)
            cp 2
            ret nz
            jp err_type

; intresult: HL is the result, a whole number.
intresult:  xor a
            ld (vtype),a
            ret

; floatresult: the accumulator holds the result.
floatresult:
            ld a,1
            ld (vtype),a
            ret

; getnum: a numeric expression. getint: one that fits 16 bits signed, in
; HL. getaddr: an address, -32768..65535 (negative ones from the top of
; memory), in HL. getbyte: 0..255 in A and HL, else BAD ARGUMENT.
getnum:     call expr
            jr neednum

getint:     call expr
            jr toint

getaddr:    call expr
getaddr_val:
            ld a,(vtype)
            or a
            ret z
            dec a
            jp nz,err_type
            call fp_test
            inc a               ; FFh (negative) becomes 0
            jr z,getaddr_neg
            call fp_to_uint
            jp c,err_argument
            xor a
            ld (vtype),a
            ret
getaddr_neg:
            call fp_to_int
            jp c,err_argument
            xor a
            ld (vtype),a
            ret

getbyte:    call getint
checkbyte:  ld a,h
            or a
            jp nz,err_argument
            ld a,l
            ret

; ---------------------------------------------------------------- expressions
; expr: a full expression. Parentheses nest through here; the stack may
; not run into the last 256 bytes above its floor.
expr:       ld hl,0
            add hl,sp
            ld a,h
            cp (memtop/256)+1
            jp c,err_nesting
            call andexpr
expr_loop:  ld a,(de)
            cp ' '
            call z,skipsp
            cp t_or
            ret nz
            inc de
            call toint
            push hl
            call andexpr
            call toint
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
            ld a,(de)
            cp ' '
            call z,skipsp
            cp t_and
            ret nz
            inc de
            call toint
            push hl
            call notexpr
            call toint
            pop bc
            ld a,h
            and b
            ld h,a
            ld a,l
            and c
            ld l,a
            jr andexpr_loop

notexpr:    ld a,(de)
            cp ' '
            call z,skipsp
            cp t_not
            jr nz,relexpr
            inc de
            call notexpr
            call toint
            ld a,h
            cpl
            ld h,a
            ld a,l
            cpl
            ld l,a
            ret

; relexpr: a sum, optionally compared with another. The operator becomes
; a bit set in B: 1 less, 2 equal, 4 greater; the result is -1 when the
; actual relation's bit is in the set.
relexpr:    call sumexpr
relexpr_again:
            ld a,(de)
            cp ' '
            call z,skipsp
            sub '<'             ; < = > are 3Ch-3Eh: most often none follows
            cp 3
            ret nc
            add a,'<'
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
            ld a,(vtype)
            dec a
            jr nz,relexpr_slow
            push bc
            ld c,3
            call fastop
            pop bc
            jr c,relexpr_slow
            push bc
            call fp_cmp         ; 0 equal, 1 greater, FFh less
            or a
            ld a,2
            jr z,relexpr_fast
            ld a,4
            jp p,relexpr_fast
            ld a,1
relexpr_fast:
            pop bc
            jr relexpr_result
relexpr_slow:
            push bc
            call vpush
            call sumexpr
            call vpop
            call compare        ; A := 1 less, 2 equal, 4 greater
            pop bc
relexpr_result:
            and b
            ld hl,0
            jr z,relexpr_false
            dec hl
relexpr_false:
            call intresult
            jr relexpr_again

; compare: argval (left) with the current value (right). A := 1 when left
; < right, 2 when equal, 4 when greater.
compare:    ld a,(vtype)
            cp 2
            jr z,compare_str
            ld a,(argval)
            cp 2
            jp z,err_type
            or a
            jr nz,compare_float
            ld a,(vtype)
            or a
            jr nz,compare_float
            ld bc,(argval+1)
            jp compare16
compare_float:
            ld a,(argval)       ; a float on the left: compare the right
            dec a               ; with it and turn the answer round
            jr nz,compare_float2
            call tofloat
            ld hl,argval+1
            call fp_cmp         ; 0 equal, 1 right greater, FFh right less
            or a
            jr z,compare_eq
            inc a
            jr z,compare_gt
            ld a,1
            ret
compare_gt: ld a,4
            ret
compare_float2:
            call tofloat        ; right into the accumulator
            ld hl,ftemp2
            call fp_store
            call loadarg        ; left into the accumulator
            ld hl,ftemp2
            call fp_cmp         ; 0 equal, 1 greater, FFh less
            or a
            jr z,compare_eq
            inc a
            jr z,compare_lt
            ld a,4
            ret
compare_eq: ld a,2
            ret
compare_lt: ld a,1
            ret
compare_str:
            ld a,(argval)
            cp 2
            jp nz,err_type
            push de
            ex de,hl            ; DE = right descriptor
            ld hl,(argval+1)    ; HL = left descriptor
            ld b,(hl)           ; B = left length
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ld a,(de)
            ld c,a              ; C = right length
            inc de
            ld a,(de)
            push af
            inc de
            ld a,(de)
            ld d,a
            pop af
            ld e,a
compare_str_loop:
            ld a,b
            or a
            jr z,compare_str_lend
            ld a,c
            or a
            jr z,compare_str_gt
            ld a,(de)
            cp (hl)
            jr c,compare_str_gt ; right byte < left byte
            jr nz,compare_str_lt
            inc hl
            inc de
            dec b
            dec c
            jr compare_str_loop
compare_str_lend:
            ld a,c
            or a
            jr nz,compare_str_lt
            pop de
            ld a,2
            ret
compare_str_gt:
            pop de
            ld a,4
            ret
compare_str_lt:
            pop de
            ld a,1
            ret

; compare16: signed comparison of BC (left) with HL (right), as compare.
compare16:  push de
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

; loadarg: the number in argval into the accumulator.
loadarg:    push hl
            ld a,(argval)
            cp 2
            jp z,err_type
            or a
            jr z,loadarg_int
            ld hl,argval+1
            call fp_load
            pop hl
            ret
loadarg_int:
            ld hl,(argval+1)
            call fp_from_int
            pop hl
            ret

; floatop: the current number into ftemp2 and argval into the accumulator,
; so that the package can work accumulator op (ftemp2). HL := ftemp2.
floatop:    call tofloat
            ld hl,ftemp2
            call fp_store
            call loadarg
            ld a,1
            ld (vtype),a
            ret

; floatcomm: for + and *: the current number in the accumulator and HL at
; the left operand when that is a float already (no copies needed), else
; as floatop.
floatcomm:  ld a,(argval)
            dec a
            jr nz,floatop
            call tofloat
            ld hl,argval+1
            ret

sumexpr:    call term
sumexpr_loop:
            ld a,(de)
            cp ' '
            call z,skipsp
            cp '+'
            jr z,sumexpr_add
            cp '-'
            ret nz
            inc de
            ld a,(vtype)
            dec a
            jr nz,sumexpr_sub_slow
            ld c,2
            call fastop
            jr c,sumexpr_sub_slow
            call fp_sub
            jr sumexpr_loop
sumexpr_sub_slow:
            call vpush
            call term
            call vpop
            call neednum
            ld a,(argval)
            ld b,a
            ld a,(vtype)
            or b
            jr nz,sumexpr_fsub
            ld b,h
            ld c,l
            ld hl,(argval+1)
            or a
            sbc hl,bc
            jp po,sumexpr_loop
            ld h,b              ; overflow: again as floating point
            ld l,c
sumexpr_fsub:
            ld a,(argval)       ; a float on the left: right - left, negated
            dec a
            jr nz,sumexpr_fsub2
            call tofloat
            ld hl,argval+1
            call fp_sub
            call fp_neg
            jp sumexpr_loop
sumexpr_fsub2:
            call floatop
            call fp_sub
            jr sumexpr_loop
sumexpr_add:
            inc de
            ld a,(vtype)
            dec a
            jr nz,sumexpr_add_slow
            ld c,2
            call fastop
            jr c,sumexpr_add_slow
            call fp_add
            jp sumexpr_loop
sumexpr_add_slow:
            call vpush
            call term
            call vpop
            ld a,(vtype)
            cp 2
            jr z,sumexpr_concat
            ld a,(argval)
            ld b,a
            ld a,(vtype)
            or b
            jr nz,sumexpr_fadd
            ld b,h
            ld c,l
            ld hl,(argval+1)
            or a
            adc hl,bc
            jp po,sumexpr_loop
            ld h,b
            ld l,c
sumexpr_fadd:
            call floatcomm
            call fp_add
            jp sumexpr_loop
sumexpr_concat:
            ld a,(argval)
            cp 2
            jp nz,err_type
            call concat
            jp sumexpr_loop

term:       call unary
term_loop:  ld a,(de)
            cp ' '
            call z,skipsp
            cp '*'
            jr z,term_mul
            cp '/'
            jr z,term_div
            cp t_mod
            jr z,term_idivgo
            cp 5Ch              ; \ : integer division
            ret nz
term_idivgo:
            jp term_idiv        ; (out of the way of * and /)
term_mul:   inc de
            ld a,(vtype)
            dec a
            jr nz,term_mul_slow
            ld c,1
            call fastop
            jr c,term_mul_slow
            call fp_mul
            jp term_loop
term_mul_slow:
            call vpush
            call unary
            call vpop
            call neednum
            ld a,(argval)
            ld b,a
            ld a,(vtype)
            or b
            jr nz,term_fmul
            ld bc,(argval+1)
            push hl
            call multiply       ; carry: does not fit 16 bits
            pop bc
            jr nc,term_loop
            ld h,b
            ld l,c
term_fmul:  call floatcomm
            call fp_mul
            jr term_loop
term_div:   inc de
            ld a,(vtype)
            dec a
            jr nz,term_div_slow
            ld c,1
            call fastop
            jr c,term_div_slow
            call fp_div
            jp term_loop
term_div_slow:
            call vpush
            call unary
            call vpop
            call neednum
            call floatop
            call fp_div
            jp term_loop

; MOD and \: both operands cut to whole numbers; MOD gives the remainder,
; \ the quotient.
term_idiv:  inc de
            push af             ; MOD or \
            call vpush
            call unary
            call toint
            call vpop
            push hl             ; right
            ld a,(argval)
            cp 2
            jp z,err_type
            ld (vtype),a
            ld hl,(argval+1)
            or a
            call nz,loadarg
            call toint          ; left
            ld b,h
            ld c,l
            pop hl
            pop af
            cp t_mod
            jr z,term_rem
            ld a,h              ; x \ -1 is -x, which may leave 16 bits
            and l
            inc a
            jr z,term_quotneg
            call divide
            jr term_quot
term_quotneg:
            ld h,b
            ld l,c
            xor a
            ld (vtype),a
            call negvalue
            jp term_loop
term_rem:   call divide
            ld h,b              ; MOD keeps the remainder
            ld l,c
term_quot:  call intresult
            jp term_loop

unary:      ld a,(de)
            cp ' '
            call z,skipsp
            cp '-'
            jr z,unary_neg
            cp '+'
            jr nz,power
            inc de
            jr unary
unary_neg:  inc de
            call unary
negvalue:   call neednum
            ld a,(vtype)
            or a
            jp nz,fp_neg
            ld a,h
            xor 80h
            or l
            jr z,unary_big
negate:     xor a
            sub l
            ld l,a
            sbc a,a
            sub h
            ld h,a
            ret
unary_big:  call tofloat        ; -(-32768)
            jp fp_neg

power:      call factor
power_loop: ld a,(de)
            cp ' '
            call z,skipsp
            cp '^'
            ret nz
            inc de
            call vpush
            call powarg
            call vpop
            call neednum
            call floatop
            call fp_pow
            jr power_loop

; powarg: the right operand of ^: a factor with any signs before it
; (2^-1), but no ^ of its own, so ^ works from the left: 2^3^2 is 64.
powarg:     ld a,(de)
            cp ' '
            call z,skipsp
            cp '+'
            jr z,powarg_plus
            cp '-'
            jp nz,factor
            inc de
            call powarg
            jr negvalue
powarg_plus:
            inc de
            jr powarg

factor:     ld a,(de)
            cp ' '
            call z,skipsp
            cp 'A'              ; a variable, the most common case
            jr c,factor_notvar
            cp 'Z'+1
            jp c,factor_var
factor_notvar:
            cp '('
            jr nz,factor_notparen
            inc de
            call expr
            ld c,')'
            jp need
factor_notparen:
            cp '"'
            jp z,strliteral
            cp '.'
            jr z,factor_number
            call isdigit
            jp nc,factor_notnum
; A number in the text. Those of the program are kept, once read, in a
; small cache keyed by their address, as reading digits costs more than
; anything done with the number.
factor_number:
            call cachefind
            jr nz,factor_parse
            inc hl
            inc hl
            ld a,(hl)           ; the length
            add a,e
            ld e,a
            jr nc,factor_cached_nc
            inc d
factor_cached_nc:
            inc hl
            ld a,(hl)           ; the type
            ld (vtype),a
            or a
            jr nz,factor_cached_float
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ret
factor_cached_float:
            ld h,b
            ld l,c
            jp fp_load
factor_parse:
            push bc             ; the place of the float copy
            push hl             ; the entry
            push de             ; the number's text
            call readnumber     ; HL = a whole number's value
            pop bc              ; BC = start of the text
            ld a,b              ; only numbers of the program are kept
            cp memtop/256
            jr nc,factor_nocache
            ex (sp),hl          ; HL = entry, stack = value
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld a,e
            sub c
            ld (hl),a
            inc hl
            ld a,(vtype)
            ld (hl),a
            inc hl
            pop bc              ; the value
            ld (hl),c
            inc hl
            ld (hl),b
            pop hl              ; the float copy's place
            or a
            jp nz,fp_store      ; a float: its copy
            push bc             ; a whole number: its float copy too
            push hl
            ld h,b
            ld l,c
            call fp_from_int
            pop hl
            call fp_store
            pop hl
            ret
factor_nocache:
            pop bc
            pop bc
            ret

; cachefind: the number cache for the text at DE. HL := the entry, BC :=
; the place of its float copy; Z when the entry holds that text. Keeps DE.
cachefind:  ld a,e
            and 1Fh             ; numbers less than 32 bytes apart never
            add a,a             ; share an entry
            add a,a
            add a,a
            ld c,a
            ld b,numfloat/256
            add a,numcache & 255
            ld l,a
            ld a,numcache/256
            adc a,0
            ld h,a
            ld a,(hl)
            cp e
            ret nz
            inc hl
            ld a,(hl)
            dec hl
            cp d
            ret

; cacheclear: forget the cached numbers (the program changed, or inbuf is
; wanted for something else). Keeps all but A.
cacheclear: push hl
            push bc
            ld hl,numcache
            ld bc,32*8
cacheclear_loop:
            ld (hl),0
            inc hl
            dec bc
            ld a,b
            or c
            jr nz,cacheclear_loop
            pop bc
            pop hl
            ret

; fastop: with the left operand a float in the accumulator, is the right
; operand (at DE) one that needs no work: a cached number of the program,
; or a simple float variable, not followed by an operator binding tighter
; than this one (C: 1 for * /, 2 for + -, 3 for comparisons)? Then HL :=
; its five bytes and DE is past it; else carry and DE unchanged.
fastop:     push de
            ld a,(de)
            cp ' '
            call z,skipsp
            cp 'A'
            jr c,fastop_num
            cp 'Z'+1
            jr nc,fastop_no
            push bc
            call getname
            pop bc
            ld a,(numtype)
            dec a
            jr nz,fastop_no     ; floats only
            ld a,(de)
            cp '('
            jr z,fastop_no      ; an array
            push bc
            call findvar
            pop bc
            jr z,fastop_check
            ld hl,zeroval
            jr fastop_check
fastop_num: call isdigit
            jr nc,fastop_no
            push bc
            call cachefind
            jr nz,fastop_no_bc
            inc hl
            inc hl
            ld a,(hl)
            add a,e
            ld e,a
            jr nc,fastop_num_nc
            inc d
fastop_num_nc:
            ld h,b
            ld l,c
            pop bc
fastop_check:
            ld a,(de)
            cp ' '
            call z,skipsp
            cp '0'              ; * + - / lie in 2Ah-2Fh; ')' and the end
            jr nc,fastop_high   ; lie below and pass at once
            cp '*'
            jr c,fastop_yes
            cp ','
            jr z,fastop_yes
            cp '.'
            jr z,fastop_yes
            dec c               ; * and /: any of * + - / may follow
            jr z,fastop_yes
            cp '*'
            jr z,fastop_no
            cp '/'
            jr z,fastop_no
            dec c               ; + and -: + and - may follow
            jr z,fastop_yes
            jr fastop_no        ; comparisons: no arithmetic may follow
fastop_high:                    ; ':', comparisons and keywords pass, but
            cp '^'              ; ^ binds tighter than anything
            jr z,fastop_no
            cp t_mod
            jr z,fastop_mod
            cp 5Ch              ; \ binds like MOD
            jr nz,fastop_yes
fastop_mod: dec c
            jr nz,fastop_no
fastop_yes: pop af
            or a
            ret
fastop_no_bc:
            pop bc
fastop_no:  pop de
            scf
            ret

; readnumber: the number at DE, a whole number when it is written as one
; up to 32767, else floating point.
readnumber: push de
            call readuint
            jr c,factor_fnum_pop
            ld a,(de)
            cp '.'
            jr z,factor_fnum_pop
            cp 'E'
            jr z,factor_fnum_pop
            bit 7,h
            jr nz,factor_fnum_pop
            pop af
            jp intresult
factor_fnum_pop:
            pop de
factor_fnum:
            ex de,hl
            call fp_parse
            ex de,hl
            jp c,err_syntax
            jp floatresult
factor_notnum:
            cp t_fn
            jp z,fn_call
            cp t_abs
            jr c,factor_notfunc
            cp t_top+1          ; statement tokens among them: SYNTAX ERROR
            jr nc,factor_notfunc
            inc de
            sub t_abs
            add a,a
            ld l,a
            ld h,0
            ld bc,functable
            add hl,bc
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            jp (hl)
factor_notfunc:
            call isletter
            jp nc,err_syntax
factor_var: call varref
            ld a,(numtype)
            ld (vtype),a
            or a
            jr z,factor_int
            dec a
            ret nz              ; a string: HL is its descriptor
            jp fp_load
factor_int: ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ret

functable:  dw fn_abs, fn_sgn, fn_int, fn_sqr, fn_sin, fn_cos, fn_tan, fn_atn
            dw fn_exp, fn_log, fn_rnd, fn_pi, fn_fre, fn_peek, fn_inp, fn_pos
            dw fn_len, fn_asc, fn_val, fn_chrs, fn_strs, fn_lefts, fn_rights
            dw fn_mids, fn_instr, fn_spaces, fn_inkeys, fn_strings
            dw err_syntax, err_syntax, fn_err, fn_erl ; ERROR, RESUME: no functions
            dw err_syntax, err_syntax, err_syntax     ; LINE, WHILE, WEND
            dw fn_fix, fn_hexs, err_syntax            ; SWAP
            dw err_syntax, fn_usr, fn_time            ; CALL
            dw err_syntax, err_syntax, err_syntax     ; KILL, NAME, DIR
            dw err_syntax, err_syntax, fn_dot         ; SETDOT, CLRDOT
            dw err_syntax, err_syntax                 ; TRON, TROFF
            dw err_syntax, err_syntax, err_syntax     ; AUTO, DELETE, EDIT
            dw err_syntax                             ; USING
            dw err_syntax, err_syntax, err_syntax     ; PREPARE, OPEN, CLOSE
            dw fn_eof

; parenarg: "(" expression ")".
parenarg:   ld c,'('
            call need
            call expr
closeparen: push hl
            push bc
            ld c,')'
            call need
            pop bc
            pop hl
            ld a,(vtype)
            ret

; parennum: "(" numeric expression ")" in the accumulator.
parennum:   call parenarg
            call neednum
            jp tofloat

fn_abs:     call parenarg
            call neednum
            or a
            jp nz,fp_abs
            bit 7,h
            ret z
            ld a,h
            xor 80h
            or l
            jp nz,negate
            call tofloat
            jp fp_abs

fn_sgn:     call parenarg
            call neednum
            or a
            jr z,fn_sgn_int
            call fp_test
            jr fn_sgn_a
fn_sgn_int: ld a,h
            or l
            jr z,fn_sgn_a
            ld a,1
            bit 7,h
            jr z,fn_sgn_a
            ld a,0FFh
fn_sgn_a:   ld l,a
            rla
            sbc a,a
            ld h,a
            jp intresult

fn_int:     call parenarg
            call neednum
            or a
            ret z
            jp fp_int

; FIX(x): x cut toward 0 (INT(x) for x at least 0, -INT(-x) below).
fn_fix:     call parenarg
            call neednum
            or a
            ret z
            call fp_test
            inc a
            jp nz,fp_int
            call fp_neg
            call fp_int
            jp fp_neg

fn_sqr:     call parennum
            jp fp_sqr
fn_sin:     call parennum
            jp fp_sin
fn_cos:     call parennum
            jp fp_cos
fn_tan:     call parennum
            jp fp_tan
fn_atn:     call parennum
            jp fp_atn
fn_exp:     call parennum
            jp fp_exp
fn_log:     call parennum
            jp fp_log

fn_pi:      call fp_pi
            jp floatresult
fn_time:    call fp_time
            jp floatresult

; RND, RND(x) with x at most 1: a number from 0 up to (not including) 1;
; a negative x first seeds the sequence from x. RND(n) with n above 1: a
; whole number from 1 to n.
fn_rnd:     ld a,(de)
            cp ' '
            call z,skipsp
            cp '('
            jr nz,fn_rnd_float
            call parennum
            call fp_test
            inc a
            jr nz,fn_rnd_notneg
            call seedfrom       ; a negative x is never above 1
            jr fn_rnd_float
fn_rnd_notneg:
            ld hl,ftemp2
            call storeone
            call fp_cmp
            dec a
            jr nz,fn_rnd_float  ; not greater than 1
            call fp_int
            ld hl,ftemp
            call fp_store
            call fp_rnd
            call fp_mul
            call fp_int
            ld hl,ftemp2
            call fp_add
            jp floatresult
fn_rnd_float:
            call fp_rnd
            jp floatresult

; storeone: 1 into the five bytes at HL. Keeps the accumulator, HL, DE.
storeone:   push hl
            ld hl,fpark
            call fp_store
            ld a,1
            call fp_from_a
            pop hl
            call fp_store
            push hl
            ld hl,fpark
            call fp_load
            pop hl
            ret

fn_fre:     ld a,(de)
            cp ' '
            call z,skipsp         ; FRE and FRE(x): bytes free, after a
            cp '('              ; collection of the string heap
            jr nz,fn_fre_go
            call parenarg
fn_fre_go:  call collect
            push de
            call bytesfree
            pop de
            bit 7,h
            jp z,intresult
            call fp_from_uint
            jp floatresult

fn_peek:    ld c,'('
            call need
            call getaddr
            call closeparen
            ld l,(hl)
            ld h,0
            jp intresult

fn_inp:     call parenarg
            call toint
            call checkbyte
            ld c,l
            in l,(c)
            ld h,0
            jp intresult

; POS: the column of the cursor (of the printer with LPRINT).
fn_pos:     ld a,(de)
            cp ' '
            call z,skipsp
            cp '('
            jr nz,fn_pos_go
            call parenarg
fn_pos_go:  call outcol
            ld l,a
            ld h,0
            jp intresult

; ---------------------------------------------------------------- multiply, divide
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

; umul16c: HL := HL * BC, carry when over 65535. Uses A, DE.
umul16c:    ex de,hl
            ld hl,0
            ld a,16
umul16c_loop:
            add hl,hl
            jr c,umul16c_over
            sla c
            rl b
            jr nc,umul16c_skip
            add hl,de
            jr c,umul16c_over
umul16c_skip:
            dec a
            jr nz,umul16c_loop
            or a
            ret
umul16c_over:
            scf
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

; multiply: HL := BC * HL, signed; carry (HL undefined) when the product
; does not fit 16 bits. Keeps DE.
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
            call umul16c
            jr c,multiply_over
            pop af
            pop de
            jr signfix
multiply_over:
            pop af
            pop de
            scf
            ret

; signfix: give the magnitude HL the sign in bit 7 of A; carry when it
; does not fit (only -32768 may use the top bit).
signfix:    bit 7,h
            jr z,signfix_fits
            or a
            scf
            ret p
            ld a,h
            cp 80h
            scf
            ret nz
            ld a,l
            or a
            scf
            ret nz
            or a                ; -32768
            ret
signfix_fits:
            or a
            call m,negate
            or a
            ret

; divide: BC / HL, signed, rounded toward zero. HL := quotient, BC :=
; remainder (with the sign of BC). -32768 / -1 leaves a remainder of 0.
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
            call signfix        ; HL := signed quotient (overflow: only for /)
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
