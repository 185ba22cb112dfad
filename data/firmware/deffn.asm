; User functions: DEF FN and the FN call in an expression.

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
