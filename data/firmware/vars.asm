; Variables and arrays. They live in the program area right after the end
; byte: first the simple variables, 7 bytes each (two name bytes and a
; 5-byte value: a floating-point number, a whole number in its first two
; bytes, or a string descriptor: length and address), then the arrays,
; then free space up to the string heap. A name is stored as its first
; letter (a float), the letter with bit 7 set (a % variable), with bit 5
; set (a $ variable), or with the top three bits clear (a DEF FN
; function), and the second character or 0. An array is its two name
; bytes, its whole size (2 bytes), the number of dimensions (1, 2 or 3), the
; number of elements along each (2 bytes each) and the elements (5, 2 or
; 3 bytes each). A new simple variable moves the arrays up; nothing moves
; while an expression is being worked out, as reading a variable that
; does not exist gives 0 (or "") without making it.


zeroval:    db 0, 0, 0, 0, 0

; getname: the name at DE into name0/name1 and its type into numtype (0
; whole number, 1 float, 2 string); DE past it. Keeps BC.
getname:    ld a,(de)
            cp ' '
            call z,skipsp
            cp 'A'
            jp c,err_syntax
            cp 'Z'+1
            jp nc,err_syntax
            ld (name0),a
            inc de
            ld a,(de)
            cp '0'
            jr c,getname_one
            cp '9'+1
            jr c,getname_two
            cp 'A'
            jr c,getname_one
            cp 'Z'+1
            jr c,getname_two
getname_one:
            xor a
            ld (name1),a
            jr getname_suffix
getname_two:
            ld (name1),a
            inc de
getname_suffix:
            ld a,(de)
            cp '%'
            jr z,getname_int
            cp '$'
            jr z,getname_str
            ld a,1
            jr getname_done
getname_int:
            inc de
            ld hl,name0
            set 7,(hl)
            xor a
            jr getname_done
getname_str:
            inc de
            ld hl,name0
            set 5,(hl)
            ld a,2
getname_done:
            ld (numtype),a
            ret

; findvar: HL := the value of the simple variable name0/name1; Z when
; found, NZ (HL at the end of the simple variables) when not. Keeps DE.
findvar:    push de
            ld hl,(varbase)
            ld de,(arrbase)
            ld bc,(name0)       ; C = first byte, B = second
findvar_loop:
            ld a,l
            cp e
            jr nz,findvar_cmp
            ld a,h
            cp d
            jr z,findvar_none
findvar_cmp:
            ld a,(hl)
            cp c
            jr nz,findvar_next
            inc hl
            ld a,(hl)
            dec hl
            cp b
            jr z,findvar_found
findvar_next:
            ld a,7
            add a,l
            ld l,a
            jr nc,findvar_loop
            inc h
            jr findvar_loop
findvar_found:
            inc hl
            inc hl
            pop de
            ret
findvar_none:
            pop de
            ld a,1
            or a
            ret

; varref: the variable (or array element) at DE, to be read: HL := its
; value; numtype its type. A simple variable not yet made reads as 0.
varref:     call getname
            ld a,(de)
            cp '('
            jp z,arrayref
            call findvar
            ret z
            ld hl,zeroval
            ret

; varaddr: the variable (or array element) at DE, to be written: HL :=
; its value, made when it does not exist yet.
varaddr:    call getname
            ld a,(de)
            cp '('
            jp z,arrayref
simpleaddr: call findvar
            ret z
; makevar: a new simple variable name0/name1 (all zero) at the end of the
; simple variables; the arrays move up. HL := its value. Keeps DE.
makevar:    push de
            ld bc,7
            call needroom
            ld hl,(arrend)
            ld de,(arrbase)
            or a
            sbc hl,de
            jr z,makevar_nomove
            ld b,h
            ld c,l
            ld hl,(arrend)
            ld de,6
            add hl,de
            ex de,hl            ; DE = arrend + 6
            ld hl,(arrend)
            dec hl
            lddr
            ld bc,7
            call movedarrays
makevar_nomove:
            ld hl,(arrend)
            ld bc,7
            add hl,bc
            ld (arrend),hl
            ld hl,(arrbase)
            push hl
            add hl,bc
            ld (arrbase),hl
            pop hl
            ld a,(name0)
            ld (hl),a
            inc hl
            ld a,(name1)
            ld (hl),a
            inc hl
            push hl
            ld b,5
makevar_zero:
            ld (hl),0
            inc hl
            djnz makevar_zero
            pop hl
            pop de
            ret

; needroom: BC bytes must fit between the arrays and the string heap;
; collects the heap first when they do not, else OUT OF MEMORY. Keeps
; BC, DE.
needroom:   call roomleft
            ret nc
            call collect
            call roomleft
            ret nc
            jp err_memory

; roomleft: carry when fewer than BC (+ a margin of 8) bytes are free.
; Keeps BC, DE.
roomleft:   push de
            ld hl,(strbot)
            ld de,(arrend)
            or a
            sbc hl,de
            jr c,roomleft_out
            ld de,8
            sbc hl,de
            jr c,roomleft_out
            sbc hl,bc
roomleft_out:
            pop de
            ret

; arrayref: name0/name1 is an array and DE is at its "(": the indices,
; then HL := the element (an array used without DIM gets 11 elements, 0
; to 10, along each of its dimensions).
arrayref:   inc de
            ld hl,(name0)
            push hl
            ld a,(numtype)
            push af
            inc de              ; (L): the variable read straight
            ld a,(de)
            dec de
            cp ')'
            jr nz,arrayref_expr
            ld a,(de)
            call isletter
            jr nc,arrayref_expr
            call factor_var
            call toint
            jr arrayref_first
arrayref_expr:
            call getint
arrayref_first:
            bit 7,h
            jp nz,err_subscript
            push hl
            ld a,(de)
            cp ' '
            call z,skipsp
            ld b,1
            cp ','
            jr nz,arrayref_close
            inc de
            call getint
            bit 7,h
            jp nz,err_subscript
            pop bc
            push hl
            push bc
            ld b,2
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr nz,arrayref_close
            inc de
            call getint         ; the last index: nothing is worked out
            bit 7,h             ; after it, so it may go straight to
            jp nz,err_subscript ; its place
            ld (arr_i3),hl
            ld b,3
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jp z,err_subscript  ; a fourth index
arrayref_close:
            ld a,b
            ld (arr_nd),a
            ld c,')'
            call need
            pop hl
            ld (arr_i1),hl
            ld hl,0
            ld a,(arr_nd)
            dec a
            jr z,arrayref_one
            pop hl
arrayref_one:
            ld (arr_i2),hl
            pop af
            ld (numtype),a
            pop hl
            ld (name0),hl
            call findarray
            jr z,arrayref_found
            ld hl,11            ; not dimensioned: 0 to 10
            ld (arr_d1),hl
            ld (arr_d2),hl
            ld (arr_d3),hl
            call makearray
arrayref_found:
            ; HL = the array entry
            push de
            push hl
            inc hl
            inc hl
            inc hl
            inc hl
            ld a,(arr_nd)
            cp (hl)
            jp nz,err_subscript
            inc hl
            ld c,(hl)
            inc hl
            ld b,(hl)           ; BC = elements along the first dimension
            inc hl
            push hl
            ld hl,(arr_i1)
            or a
            sbc hl,bc
            jp nc,err_subscript
            pop hl
            ld de,(arr_i1)      ; DE = the element number
            dec a
            jr z,arrayref_elem
            ld c,(hl)
            inc hl
            ld b,(hl)           ; BC = along the second
            inc hl
            push hl
            ld hl,(arr_i2)
            or a
            sbc hl,bc
            jp nc,err_subscript
            ld h,d
            ld l,e
            call umul16         ; i1 * d2
            ld de,(arr_i2)
            add hl,de
            ex de,hl
            pop hl
            ld a,(arr_nd)
            cp 3
            jr c,arrayref_elem
            ld c,(hl)
            inc hl
            ld b,(hl)           ; BC = along the third
            inc hl
            push hl
            ld hl,(arr_i3)
            or a
            sbc hl,bc
            jp nc,err_subscript
            ex de,hl
            call umul16         ; (i1 * d2 + i2) * d3
            ld de,(arr_i3)
            add hl,de
            ex de,hl
            pop hl
arrayref_elem:
            ; HL = first element, DE = element number
            push hl
            ld h,d
            ld l,e
            add hl,hl           ; times 2, 3 or 5 by shifts
            ld a,(numtype)
            or a
            jr z,arrayref_scaled
            dec a
            jr nz,arrayref_three
            add hl,hl
arrayref_three:
            add hl,de
arrayref_scaled:
            pop de
            add hl,de
            pop de              ; the entry, not needed
            pop de
            ret

; elemsize: A := bytes per element of the type numtype. Keeps all else.
elemsize:   ld a,(numtype)
            or a
            jr z,elemsize_int
            dec a
            ld a,5
            ret z
            ld a,3
            ret
elemsize_int:
            ld a,2
            ret

; findarray: HL := the entry of array name0/name1; Z when found.
; Keeps DE.
findarray:  push de
            ld hl,(arrbase)
            ld bc,(name0)
findarray_loop:
            push hl
            ld de,(arrend)
            or a
            sbc hl,de
            pop hl
            jr nc,findarray_none
            ld a,(hl)
            cp c
            jr nz,findarray_next
            inc hl
            ld a,(hl)
            dec hl
            cp b
            jr z,findarray_found
findarray_next:
            inc hl
            inc hl
            ld e,(hl)
            inc hl
            ld d,(hl)
            dec hl
            dec hl
            dec hl
            add hl,de
            jr findarray_loop
findarray_found:
            pop de
            ret
findarray_none:
            pop de
            ld a,1
            or a
            ret

; makearray: a new array name0/name1 of type numtype with arr_nd
; dimensions of arr_d1 (and arr_d2) elements, all zero, at the end of the
; arrays. HL := its entry. Keeps DE.
makearray:  push de
            ld hl,(arr_d1)
            ld a,(arr_nd)
            dec a
            jr z,makearray_one
            ld bc,(arr_d2)
            call umul16c
            jp c,err_memory
            ld a,(arr_nd)
            cp 3
            jr c,makearray_one
            ld bc,(arr_d3)
            call umul16c
            jp c,err_memory
makearray_one:
            call elemsize
            ld c,a
            ld b,0
            call umul16c
            jp c,err_memory
            ld a,(arr_nd)
            add a,a
            add a,5
            ld c,a
            ld b,0
            add hl,bc
            jp c,err_memory
            ld b,h
            ld c,l              ; BC = whole size
            push bc
            call needroom
            pop bc
            ld hl,(arrend)
            push hl
            add hl,bc
            ld (arrend),hl
            pop hl
            push hl
            push bc
            ld d,h              ; clear it all
            ld e,l
            inc de
            ld (hl),0
            dec bc
            ld a,b
            or c
            jr z,makearray_cleared
            ldir
makearray_cleared:
            pop bc
            pop hl
            push hl
            ld a,(name0)
            ld (hl),a
            inc hl
            ld a,(name1)
            ld (hl),a
            inc hl
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            ld a,(arr_nd)
            ld (hl),a
            inc hl
            ld bc,(arr_d1)
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            dec a
            jr z,makearray_done
            ld bc,(arr_d2)
            ld (hl),c
            inc hl
            ld (hl),b
            inc hl
            dec a
            jr z,makearray_done
            ld bc,(arr_d3)
            ld (hl),c
            inc hl
            ld (hl),b
makearray_done:
            pop hl
            pop de
            ret

; DIM name(d1[,d2[,d3]]) [, ...]
st_dim:     call getname
            ld c,'('
            call need
            ld hl,(name0)
            push hl
            ld a,(numtype)
            push af
            call getint
            bit 7,h
            jp nz,err_subscript
            inc hl
            push hl
            ld b,1
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr nz,st_dim_close
            inc de
            call getint
            bit 7,h
            jp nz,err_subscript
            inc hl
            pop bc
            push hl
            push bc
            ld b,2
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr nz,st_dim_close
            inc de
            call getint         ; the last bound goes straight to its place
            bit 7,h
            jp nz,err_subscript
            inc hl
            ld (arr_d3),hl
            ld b,3
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jp z,err_subscript  ; a fourth dimension
st_dim_close:
            ld a,b
            ld (arr_nd),a
            ld c,')'
            call need
            pop hl
            ld (arr_d1),hl
            ld a,(arr_nd)
            dec a
            jr z,st_dim_one
            pop hl
            ld (arr_d2),hl
st_dim_one: pop af
            ld (numtype),a
            pop hl
            ld (name0),hl
            call findarray
            jp z,err_redim
            call makearray
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jp nz,nextstmt
            inc de
            jp st_dim

; clearvars: no variables, arrays or strings; the GOSUB and FOR stacks
; empty, READ back at the first DATA.
clearvars:  call dosclose       ; RUN, NEW, LOAD, CLEAR and edits close the files
            call progend        ; a loader may not have set the end words
            call setend
            ld hl,(progend1)
            ld (varbase),hl
            ld (arrbase),hl
            ld (arrend),hl
            ld hl,memtop
            ld (strbot),hl
; progmoved: the program has changed under the variables (DELETE keeps
; them): READ starts again, CONT cannot go on, the caches, the handler
; and the GOSUB and FOR stacks are forgotten.
progmoved:  ld hl,0
            ld (datarec),hl
            ld (dataptr),hl
            xor a
            ld (contok),a
            call cacheclear     ; the program may have changed
            ld hl,jumpcache
            push bc
            ld b,32
clearvars_jumps:
            ld (hl),0
            inc hl
            djnz clearvars_jumps
            pop bc
            ld hl,0             ; no error handler, no error yet
            ld (onerrline),hl
            ld (errline),hl
            xor a
            ld (inhandler),a
            ld (errcode),a
resetstacks:
            ld hl,gosubstk
            ld (gosubsp),hl
            ld hl,forstk
            ld (forsp),hl
resettemps: ld hl,tmpdesc
            ld (tmpsp),hl
            ld hl,vstack
            ld (vsp),hl
            ret
