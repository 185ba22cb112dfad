; Strings. A string value is a descriptor: its length (0-255) and the
; address of its characters. Literals point into the line; every string a
; program makes lives in the heap, which grows down from memtop towards
; the arrays. A heap block is the characters followed by three bytes: the
; length and the address of the descriptor that owns the block. A block
; is alive while that descriptor still describes it; the collector walks
; the blocks from the top, moves the live ones up over the dead ones and
; puts their new address into the owner (and into any temporary
; descriptor that pointed at the old place). Temporary descriptors (16,
; for the strings an expression makes on its way) are freed at every
; statement.


; stralloc: a heap block for A (1-255) characters, collecting the heap
; when it is full. HL := its first character; the owner is set by the
; caller (newtempheap, strassign). Keeps BC, DE.
stralloc:   push de
            push bc
            ld c,a
            ld b,0
            push bc
            inc bc
            inc bc
            inc bc
            call needroom
            ld hl,(strbot)
            or a
            sbc hl,bc
            ld (strbot),hl
            pop bc
            push hl
            add hl,bc
            ld (hl),c
            inc hl
            ld (hl),0
            inc hl
            ld (hl),0
            pop hl
            pop bc
            pop de
            ret

; newtemp: a temporary descriptor for the A characters at HL (not a heap
; block of its own); newtempheap: the same for a block stralloc just made,
; which the descriptor then owns. HL := the descriptor; the value is a
; string. Keeps DE.
newtemp:    push de
            ex de,hl
            call newslot
            pop de
            ret
newtempheap:
            push de
            ex de,hl
            call newslot
            or a
            jr z,newtempheap_done
            push hl             ; the block's owner := the descriptor
            ex de,hl
            ld e,a
            ld d,0
            add hl,de
            inc hl
            pop de
            ld (hl),e
            inc hl
            ld (hl),d
            ex de,hl
newtempheap_done:
            pop de
            ret

; newslot: HL := a new temporary descriptor holding length A, address DE.
; Keeps A.
newslot:    ld hl,(tmpsp)
            push af
            ld a,l
            cp tmpend & 255
            jp nc,err_complex
            pop af
            push hl
            ld (hl),a
            inc hl
            ld (hl),e
            inc hl
            ld (hl),d
            inc hl
            ld (tmpsp),hl
            pop hl
            push af
            ld a,2
            ld (vtype),a
            pop af
            ret

; freetemp: the descriptor HL is given back when it is the newest
; temporary one. Keeps all but A.
freetemp:   push de
            push hl
            ld de,3
            add hl,de
            ld de,(tmpsp)
            or a
            sbc hl,de
            jr nz,freetemp_keep
            pop hl
            ld (tmpsp),hl
            pop de
            ret
freetemp_keep:
            pop hl
            pop de
            ret

; strliteral: the quoted text at DE (the closing quote may be missing at
; the end of the line).
strliteral: inc de
            push de
            ld b,0
strliteral_scan:
            ld a,(de)
            cp 0Dh
            jr z,strliteral_end
            inc de
            cp '"'
            jr z,strliteral_end
            inc b
            jr strliteral_scan
strliteral_end:
            pop hl
            ld a,b
            jr newtemp

; copydesc: the characters of descriptor HL to DE; DE advances. Uses A,
; BC, HL.
copydesc:   ld a,(hl)
            or a
            ret z
            ld c,a
            ld b,0
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ldir
            ret

; concat: the string argval (left) + the current string (HL).
concat:     push de
            ld (st_right),hl
            ld de,(argval+1)
            ld a,(de)
            add a,(hl)
            jp c,err_strlong
            or a
            jr z,concat_empty
            push af
            call stralloc       ; may move both operands
            push hl
            ex de,hl
            ld hl,(argval+1)
            call copydesc
            ld hl,(st_right)
            call copydesc
            ld hl,(st_right)
            call freetemp
            ld hl,(argval+1)
            call freetemp
            pop hl
            pop af
            call newtempheap
            pop de
            ret
concat_empty:
            ex de,hl
            pop de
            ld a,2
            ld (vtype),a
            ret

; strassign: the string with descriptor DE becomes the value of the string
; variable whose descriptor is HL. A temporary block the expression just
; made is handed over; anything else is copied into a block of its own.
strassign:  ld a,(de)
            or a
            jr nz,strassign_text
            ld (hl),a
            ret
strassign_text:
            push de
            push hl
            ex de,hl            ; HL = source descriptor
            ld a,h              ; a temporary descriptor ...
            cp tmpdesc/256
            jr nz,strassign_copy
            ld a,l
            cp tmpdesc & 255
            jr c,strassign_copy
            cp tmpend & 255
            jr nc,strassign_copy
            call blockowner     ; ... that owns its block
            jr nz,strassign_copy
            pop de              ; DE = variable
            ld (hl),e           ; the block now belongs to it
            inc hl
            ld (hl),d
            pop hl              ; HL = source descriptor
            ld bc,3
            ldir
            ret
strassign_copy:
            pop hl              ; variable
            pop de              ; source descriptor
            push hl
            push de
            ld a,(de)
            call stralloc       ; may move the source's characters
            ex de,hl            ; DE = new block
            pop hl              ; source descriptor
            ld a,(hl)
            push de
            push af
            call copydesc
            pop af
            pop de              ; new block
            pop hl              ; variable
            push hl
            ld (hl),a
            inc hl
            ld (hl),e
            inc hl
            ld (hl),d
            ex de,hl            ; HL = new block
            ld e,a
            ld d,0
            add hl,de
            inc hl              ; its owner field
            pop de
            ld (hl),e
            inc hl
            ld (hl),d
            ret

; blockowner: HL is a descriptor; Z when it points into the heap at a block
; that names it as owner; HL := the owner field of that block. Keeps DE.
blockowner: push de
            push hl
            ld c,(hl)
            inc hl
            ld e,(hl)
            inc hl
            ld d,(hl)           ; DE = the characters
            ld a,d
            cp memtop/256
            jr nc,blockowner_no
            ld hl,(strbot)
            ex de,hl
            or a
            sbc hl,de
            jr c,blockowner_no
            add hl,de
            ld b,0
            add hl,bc           ; HL = the block's length byte
            ld a,c
            cp (hl)
            jr nz,blockowner_no
            inc hl
            pop de              ; the descriptor
            push de
            ld a,(hl)
            cp e
            jr nz,blockowner_no
            inc hl
            ld a,(hl)
            dec hl
            cp d
            jr nz,blockowner_no
            pop de
            pop de
            ret
blockowner_no:
            pop hl
            pop de
            or 1
            ret

; collect: squeeze the dead blocks out of the string heap. Keeps BC, DE.
collect:    push de
            push bc
            ld hl,memtop
            ld (gcmark),hl
collect_loop:
            ld de,(strbot)      ; HL = the top of the next block down
            or a
            sbc hl,de
            jp z,collect_done
            jp c,collect_done
            add hl,de
            dec hl
            ld b,(hl)
            dec hl
            ld c,(hl)
            ld (gc_bp),bc
            dec hl
            ld a,(hl)
            ld (gc_len),a
            ld e,a
            ld d,0
            or a
            sbc hl,de           ; HL = the block's start
            ld (gc_start),hl
            ld a,b              ; alive when the owner describes it
            or c
            jp z,collect_next
            push hl             ; (a freed temporary owns nothing)
            ld hl,(tmpsp)
            dec hl
            or a
            sbc hl,bc
            jr nc,collect_owner
            ld hl,tmpend-1
            or a
            sbc hl,bc
            jr c,collect_owner
            pop hl
            jr collect_next
collect_owner:
            pop hl
            ld a,(bc)
            cp e
            jr nz,collect_next
            inc bc
            ld a,(bc)
            cp l
            jr nz,collect_next
            inc bc
            ld a,(bc)
            cp h
            jr nz,collect_next
            ld hl,(gcmark)      ; its new start
            inc de
            inc de
            inc de              ; DE = length + 3
            or a
            sbc hl,de
            ld (gcmark),hl
            ld bc,(gc_start)
            or a
            sbc hl,bc
            jr z,collect_next   ; in place already
            ld b,d
            ld c,e              ; BC = bytes to move
            ld hl,(gc_start)
            add hl,bc
            dec hl              ; last byte of the block
            ld de,(gcmark)
            ex de,hl
            add hl,bc
            dec hl
            ex de,hl            ; DE = last byte of its new place
            lddr
            ld hl,(gc_bp)       ; the owner learns the new place
            inc hl
            ld de,(gcmark)
            ld (hl),e
            inc hl
            ld (hl),d
            ld hl,tmpdesc       ; and so does every temporary copy
collect_temps:
            ld de,(tmpsp)
            or a
            sbc hl,de
            jr nc,collect_next
            add hl,de
            ld a,(gc_len)
            cp (hl)
            inc hl
            jr nz,collect_temp_next
            ld de,(gc_start)
            ld a,(hl)
            cp e
            jr nz,collect_temp_next
            inc hl
            ld a,(hl)
            dec hl
            cp d
            jr nz,collect_temp_next
            ld de,(gcmark)
            ld (hl),e
            inc hl
            ld (hl),d
            dec hl
collect_temp_next:
            inc hl
            inc hl
            jr collect_temps
collect_next:
            ld hl,(gc_start)
            jp collect_loop
collect_done:
            ld hl,(gcmark)
            ld (strbot),hl
            pop bc
            pop de
            ret

; movedarrays: the arrays are about to be BC bytes higher (they have been
; moved, arrbase and arrend not yet updated): owners inside them follow.
movedarrays:
            push de
            ld hl,memtop
movedarrays_loop:
            ld de,(strbot)
            or a
            sbc hl,de
            jr z,movedarrays_done
            jr c,movedarrays_done
            add hl,de
            dec hl
            ld d,(hl)
            dec hl
            ld e,(hl)           ; DE = owner
            push hl
            ld hl,(arrbase)
            ex de,hl
            or a
            sbc hl,de
            jr c,movedarrays_out
            add hl,de
            ld de,(arrend)
            or a
            sbc hl,de
            jr nc,movedarrays_out
            add hl,de
            add hl,bc
            ex de,hl
            pop hl
            ld (hl),e
            inc hl
            ld (hl),d
            dec hl
            jr movedarrays_step
movedarrays_out:
            pop hl
movedarrays_step:
            dec hl              ; the length byte
            ld e,(hl)
            ld d,0
            or a
            sbc hl,de
            jr movedarrays_loop
movedarrays_done:
            pop de
            ret

; ---------------------------------------------------------------- functions
; parenstr: "(" string expression; HL := its descriptor (no ")").
parenstr:   ld c,'('
            call need
            call expr
            jp needstr

fn_len:     call parenstr
            call closeparen
            ld l,(hl)
            ld h,0
            jp intresult

fn_asc:     call parenstr
            call closeparen
            ld a,(hl)
            or a
            jp z,err_argument
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ld l,(hl)
            ld h,0
            jp intresult

; VAL(s): the number at the start of s (blanks and a sign allowed), 0 when
; there is none.
fn_val:     call parenstr
            call closeparen
            push de
            ld de,strbuf
            push de
            ld a,(hl)           ; at most 60 characters are looked at
            cp 61
            jr c,fn_val_short
            ld a,60
fn_val_short:
            push hl
            push af
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            pop af
            ld c,a
            ld b,0
            or a
            jr z,fn_val_copied
            ldir
fn_val_copied:
            pop hl
            ld a,0Dh
            ld (de),a
            pop de
            ld a,(de)
            cp ' '
            call z,skipsp
            ld b,0
            cp '+'
            jr z,fn_val_sign
            cp '-'
            jr nz,fn_val_num
            inc b
fn_val_sign:
            inc de
fn_val_num: ex de,hl
            call fp_parse
            jr nc,fn_val_ok
            xor a
            call fp_from_a
fn_val_ok:  ld a,b
            or a
            call nz,fp_neg
            pop de
            jp floatresult

fn_chrs:    call parenarg
            call toint
            call checkbyte
            ld (strbuf),a
            ld a,1
            call stralloc
            ld a,(strbuf)
            ld (hl),a
            ld a,1
            jp newtempheap

; STR$(x): the number as PRINT shows it, without the blank after it.
fn_strs:    call parenarg
            call neednum
            call formatnum      ; HL := text, zero-ended
strfromtext:                    ; a new string of the zero-ended text at HL
            push hl
            ld b,0
fn_strs_len:
            ld a,(hl)
            or a
            jr z,fn_strs_have
            inc hl
            inc b
            jr fn_strs_len
fn_strs_have:
            pop hl
            ld (st_start),hl
            ld a,b
            push de
            push af
            call stralloc
            ex de,hl
            ld hl,(st_start)
            pop af
            push af
            ld c,a
            ld b,0
            push de
            ldir
            pop hl
            pop af
            pop de
            jp newtempheap

; substr: the string of descriptor HL from character B (0-based) for C
; characters, cut to what there is; the result is a new string.
substr:     ld a,(hl)
            sub b
            jr c,substr_none
            jr z,substr_none
            cp c
            jr nc,substr_fits
            ld c,a
substr_fits:
            ld a,c
            or a
            jr z,substr_none
            ld (st_right),hl
            ld a,b
            ld (st_start),a
            ld a,c
            ld (st_count),a
            push de
            call stralloc
            push hl
            ex de,hl
            ld hl,(st_right)
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ld a,(st_start)
            ld c,a
            ld b,0
            add hl,bc
            ld a,(st_count)
            ld c,a
            ldir
            ld hl,(st_right)
            call freetemp
            pop hl
            ld a,(st_count)
            pop de
            jp newtempheap
substr_none:
            call freetemp
            xor a
            jp newtemp

; strarg: "(" string "," byte: HL := the descriptor, C := the number.
strarg:     call parenstr
            push hl
            ld c,','
            call need
            call getint
            call checkbyte
            pop hl
            ld c,a
            ret

fn_lefts:   call strarg
            call closeparen
            ld b,0
            jr substr

fn_rights:  call strarg
            call closeparen
            ld a,(hl)
            sub c
            ld b,a
            jr nc,substr
            ld b,0
            jr substr

fn_mids:    call strarg
            ld a,c
            or a
            jp z,err_argument
            dec a
            ld b,a
            ld c,255
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr nz,fn_mids_close
            inc de
            push hl
            push bc
            call getint
            call checkbyte
            pop bc
            ld c,a
            pop hl
fn_mids_close:
            call closeparen
            jp substr

; SPACE$(n): n blanks.
fn_spaces:  call parenarg
            call toint
            call checkbyte
            ld c,' '
; strfill: a new string of A (0-255) copies of the character C.
strfill:    or a
            jp z,newtemp
            push af
            call stralloc
            pop af
            push hl
            ld b,a
strfill_loop:
            ld (hl),c
            inc hl
            djnz strfill_loop
            pop hl
            jp newtempheap

; STRING$(n, c), STRING$(n, s): n copies of the character c, or of the
; first character of s (BAD ARGUMENT for ""). The character is taken and
; s given back before the new string is made, so a collection that the
; new string causes has nothing of s to keep.
fn_strings: ld c,'('
            call need
            call getint
            call checkbyte
            push af             ; n
            ld c,','
            call need
            call expr
            call closeparen
            cp 2
            jr z,fn_strings_str
            call toint
            call checkbyte
            ld c,a
            pop af
            jr strfill
fn_strings_str:
            ld a,(hl)
            or a
            jp z,err_argument
            push hl
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ld c,(hl)
            pop hl
            call freetemp
            pop af
            jr strfill

; INKEY$: the next key as a one-character string, "" when none waits.
fn_inkeys:  call inkey
            or a
            jp z,newtemp
            ld (strbuf),a
            ld a,1
            call stralloc
            ld a,(strbuf)
            ld (hl),a
            ld a,1
            jp newtempheap

; INSTR([start,] s, t): the position (from 1) of t in s at or after
; start, 0 when it is not there.
fn_instr:   ld c,'('
            call need
            call expr
            ld a,1
            ld (st_start),a
            ld a,(vtype)
            cp 2
            jr z,fn_instr_s
            call toint
            call checkbyte
            or a
            jp z,err_argument
            ld (st_start),a
            ld c,','
            call need
            call expr
            call needstr
fn_instr_s: push hl
            ld c,','
            call need
            call expr
            call needstr
            call closeparen
            ex (sp),hl          ; HL = s, stack = t
            pop bc              ; BC = t
            push de
            push hl
            ld a,(st_start)
            dec a
            ld (st_start),a     ; 0-based
fn_instr_try:
            ; does t match s at st_start?
            ld a,(bc)
            ld hl,st_start
            add a,(hl)          ; start + length of t
            pop hl
            push hl
            jr c,fn_instr_none
            cp (hl)
            jr z,fn_instr_fits
            jr nc,fn_instr_none
fn_instr_fits:
            push bc
            ld a,(bc)
            or a
            jr z,fn_instr_found_pop
            ld (st_count),a
            inc hl
            ld e,(hl)
            inc hl
            ld d,(hl)
            ld a,(st_start)
            add a,e
            ld e,a
            jr nc,fn_instr_nc
            inc d
fn_instr_nc:
            ld h,b
            ld l,c
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a              ; HL = t's characters, DE = s at start
            ld a,(st_count)
            ld b,a
fn_instr_cmp:
            ld a,(de)
            cp (hl)
            jr nz,fn_instr_miss
            inc hl
            inc de
            djnz fn_instr_cmp
fn_instr_found_pop:
            pop bc
            pop hl
            ld a,(st_start)
            inc a
            ld l,a
            ld h,0
            pop de
            jp intresult
fn_instr_miss:
            pop bc
            ld a,(st_start)
            inc a
            ld (st_start),a
            jr fn_instr_try
fn_instr_none:
            pop hl
            ld hl,0
            pop de
            jp intresult

; HEX$(n): n (-32768..65535, negative ones counted from 65536) in
; hexadecimal digits, without leading zeros: HEX$(255) is "FF".
fn_hexs:    call parenarg
            call getaddr_val
            push de
            ld de,numbuf
            ld bc,0400h         ; B: four digits; C: 1 once one is shown
fn_hexs_loop:
            xor a
            add hl,hl
            rla
            add hl,hl
            rla
            add hl,hl
            rla
            add hl,hl
            rla
            or a
            jr nz,fn_hexs_digit
            bit 0,c
            jr nz,fn_hexs_digit
            ld a,b              ; a leading 0, unless it is the last digit
            dec a
            jr nz,fn_hexs_next
fn_hexs_digit:
            ld c,1
            add a,'0'
            cp '9'+1
            jr c,fn_hexs_put
            add a,7
fn_hexs_put:
            ld (de),a
            inc de
fn_hexs_next:
            djnz fn_hexs_loop
            xor a
            ld (de),a
            pop de
            ld hl,numbuf
            jp strfromtext

; SWAP v1,v2: two variables (or array elements) of one type change
; values. A string's heap block follows its value to the other variable.
st_swap:    inc de
            call varaddr
            ld a,(numtype)
            push hl
            push af
            ld c,','
            call need
            call varaddr
            pop af
            ld b,a
            ld a,(numtype)
            cp b
            jp nz,err_type
            pop bc              ; BC: the first, HL: the second
            push de
            cp 2
            jr z,st_swap_str
            ld e,2
            or a
            jr z,st_swap_bytes
            ld e,5
st_swap_bytes:
            ld a,(bc)
            ld d,(hl)
            ld (hl),a
            ld a,d
            ld (bc),a
            inc hl
            inc bc
            dec e
            jr nz,st_swap_bytes
            pop de
            jp nextstmt
st_swap_str:
            push bc
            push hl
            call ownerfield     ; the second's block, if it owns one
            ex (sp),hl
            ex de,hl
            pop hl
            ex (sp),hl
            push de
            push hl
            call ownerfield     ; the first's
            ex de,hl
            pop bc
            pop hl
            call setowner       ; the first's block belongs to the second
            pop de
            push hl
            ld h,b
            ld l,c
            call setowner       ; the second's to the first
            pop hl
            ld e,3
            jr st_swap_bytes

; ownerfield: HL := the owner field of the heap block descriptor HL owns,
; or 0 when it owns none. Keeps DE.
ownerfield: call blockowner
            ret z
            ld hl,0
            ret

; setowner: the owner field at DE (none when 0) := HL. Keeps HL, BC.
setowner:   ld a,d
            or e
            ret z
            ld a,l
            ld (de),a
            inc de
            ld a,h
            ld (de),a
            ret
