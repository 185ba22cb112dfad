; RENUM [first [, step]]: the lines get the numbers first, first+step, ...
; (10 and 10 unless given), and every line number written after GOTO,
; GOSUB, THEN, ELSE, RESTORE, RUN and RESUME (and in the lists of ON) follows its
; line. A number that names no line stays as it is. A first pass checks
; that the numbers fit and that no line grows past 255 bytes or out of
; memory; only then is anything changed. The variables are cleared.


st_renum:   ld hl,10
            ld (rn_first),hl
            ld (rn_step),hl
            call atend
            jr z,st_renum_go
            call getint
            ld (rn_first),hl
            call atend
            jr z,st_renum_go
            ld c,','
            call need
            call getint
            ld (rn_step),hl
st_renum_go:
            ld hl,(rn_first)    ; both at least 1
            call rn_positive
            ld hl,(rn_step)
            call rn_positive
            call clearvars
            ld hl,progbase      ; the last new number must fit
            ld bc,0
st_renum_count:
            call isrecord
            jr c,st_renum_counted
            inc bc
            ld a,(hl)
            add a,l
            ld l,a
            jr nc,st_renum_count
            inc h
            jr st_renum_count
st_renum_counted:
            ld a,b
            or c
            jp z,warm           ; no lines
            dec bc
            ld hl,(rn_step)
            call umul16c
            jp c,err_lineno
            ld bc,(rn_first)
            add hl,bc
            jp c,err_lineno
            bit 7,h
            jp nz,err_lineno
            ld a,1              ; the check
            ld (rn_dry),a
            ld hl,0
            ld (rn_total),hl
            call rn_refs
            call progend        ; the growth must fit below memtop
            ld de,(rn_total)
            add hl,de
            ld de,memtop-2
            or a
            sbc hl,de
            jp nc,err_memory
            xor a               ; the change
            ld (rn_dry),a
            call rn_refs
            ld hl,progbase      ; the new numbers
            ld de,(rn_first)
st_renum_number:
            call isrecord
            jr c,st_renum_done
            ld a,e              ; a record of 13 bytes numbered 256, 512, ...
            or a                ; would hold 0Dh 00h: it gets a blank
            jr nz,st_renum_put
            ld a,(hl)
            cp 13
            call z,rn_pad
st_renum_put:
            inc hl
            ld (hl),e
            inc hl
            ld a,d
            or 80h
            ld (hl),a
            dec hl
            dec hl
            push hl
            ld hl,(rn_step)
            add hl,de
            ex de,hl
            pop hl
            ld a,(hl)
            add a,l
            ld l,a
            jr nc,st_renum_number
            inc h
            jr st_renum_number
st_renum_done:
            call clearvars
            jp warm

; rn_pad: a blank before the 0Dh that ends the record at HL (13 bytes
; long). Keeps HL, DE.
rn_pad:     push de
            push hl
            call progend        ; move the rest up one byte, end byte too
            push hl
            ld de,memtop-2
            or a
            sbc hl,de
            jp nc,err_memory
            pop hl
            pop de              ; DE = the record
            push de
            ld bc,12
            ex de,hl
            add hl,bc           ; HL = the record's 0Dh
            ex de,hl
            push de
            or a
            sbc hl,de
            inc hl
            ld b,h
            ld c,l              ; bytes from the 0Dh to the end byte
            pop hl
            add hl,bc
            dec hl              ; the end byte
            ld d,h
            ld e,l
            inc de
            lddr
            inc hl              ; the old 0Dh's place
            ld (hl),' '
            pop hl
            ld (hl),14
            push hl
            call progend
            call setend
            pop hl
            pop de
            ret

rn_positive:
            ld a,h
            or l
            jp z,err_lineno
            bit 7,h
            jp nz,err_lineno
            ret

; rn_refs: every line number reference of the program, looked at (rn_dry
; 1: the growth counted and checked) or rewritten.
rn_refs:    ld hl,progbase
rn_refs_rec:
            call isrecord
            ret c
            ld (rn_rec),hl
            ld bc,0
            ld (rn_grow),bc
            inc hl
            inc hl
            inc hl
            ex de,hl            ; DE walks the text
rn_scan:    ld a,(de)
            cp 0Dh
            jr z,rn_recdone
            inc de
            cp '"'
            jr z,rn_quote
            cp t_rem
            jr z,rn_rem
            cp t_data
            jr z,rn_data
            ld c,1
            cp t_goto
            jr z,rn_number
            cp t_gosub
            jr z,rn_number
            ld c,0
            cp t_then
            jr z,rn_number
            cp t_else
            jr z,rn_number
            cp t_restore
            jr z,rn_number
            cp t_run
            jr z,rn_number
            cp t_resume
            jr z,rn_number
            jr rn_scan
rn_quote:   ld a,(de)
            cp 0Dh
            jr z,rn_recdone
            inc de
            cp '"'
            jr nz,rn_quote
            jr rn_scan
rn_rem:     ld a,(de)
            cp 0Dh
            jr z,rn_recdone
            inc de
            jr rn_rem
rn_data:    call skipstmt
            jr rn_scan
rn_recdone: ld hl,(rn_rec)      ; in the check: the line stays within 255
            ld a,(rn_dry)
            or a
            jr z,rn_nextrec
            ld e,(hl)
            ld d,0
            push hl
            ld hl,(rn_grow)
            add hl,de
            ld de,256
            or a
            sbc hl,de
            pop hl
            jp nc,err_long
rn_nextrec: ld c,(hl)
            ld b,0
            add hl,bc
            jr rn_refs_rec

; rn_number: a line number may follow (C = 1: a list of them).
rn_number:  ld a,c
            ld (rn_list),a
rn_number_next:
            ld a,(de)
            cp ' '
            call z,skipsp
            call isdigit
            jr nc,rn_scan
            push de             ; start of the digits
            call readuint
            ld (rn_end),de
            pop de
            jr c,rn_number_after
            bit 7,h
            jr nz,rn_number_after
            call rn_newnumber   ; HL := the new number, or carry
            jr c,rn_number_after
            push de
            ld de,rn_buf
            call utoa
            pop de
            call rn_replace
rn_number_after:
            ld de,(rn_end)
            ld a,(rn_list)
            or a
            jp z,rn_scan
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jp nz,rn_scan
            inc de
            jr rn_number_next

; rn_newnumber: HL is an old line number; HL := its new number, carry when
; no line has it. Keeps DE.
rn_newnumber:
            ld b,h
            ld c,l
            ld hl,progbase
            push de
            ld de,(rn_first)
rn_new_loop:
            call isrecord
            jr c,rn_new_none
            push hl
            call recnum
            or a
            sbc hl,bc
            pop hl
            jr z,rn_new_found
            push hl
            ld hl,(rn_step)
            add hl,de
            ex de,hl
            pop hl
            ld a,(hl)
            add a,l
            ld l,a
            jr nc,rn_new_loop
            inc h
            jr rn_new_loop
rn_new_found:
            ex de,hl
            pop de
            or a
            ret
rn_new_none:
            pop de
            scf
            ret

; rn_replace: the digits from DE to rn_end become the text in rn_buf.
; DE and rn_end then mark the new digits' place.
rn_replace: ld hl,rn_buf        ; the new length
            ld b,0
rn_replace_len:
            ld a,(hl)
            or a
            jr z,rn_replace_have
            inc hl
            inc b
            jr rn_replace_len
rn_replace_have:
            ld hl,(rn_end)      ; the old length
            or a
            sbc hl,de
            ld a,b
            sub l               ; growth (-4..+4)
            ld c,a
            ld a,(rn_dry)
            or a
            jr z,rn_replace_do
            ld a,c              ; the check only counts
            ld hl,(rn_grow)
            call rn_addsigned
            ld (rn_grow),hl
            ld a,c
            ld hl,(rn_total)
            call rn_addsigned
            ld (rn_total),hl
            ret
rn_replace_do:
            push de
            ld a,c
            ld (rn_delta),a
            or a
            jr z,rn_replace_copy
            call progend        ; move the rest, up to the end byte
            ld de,(rn_end)
            or a
            sbc hl,de
            inc hl
            ld b,h
            ld c,l              ; BC = bytes to move
            ld a,(rn_delta)
            bit 7,a
            jr nz,rn_replace_down
            ld hl,(rn_end)      ; up: from the last byte down
            add hl,bc
            dec hl
            push hl
            ld e,a
            ld d,0
            add hl,de
            ex de,hl
            pop hl
            lddr
            jr rn_replace_moved
rn_replace_down:
            ld hl,(rn_end)      ; down: from the first byte up
            push hl
            ld e,a
            ld d,0FFh
            add hl,de
            ex de,hl
            pop hl
            ldir
rn_replace_moved:
            ld a,(rn_delta)     ; the record's length follows
            ld hl,(rn_rec)
            add a,(hl)
            ld (hl),a
            call progend
            call setend
rn_replace_copy:
            pop de
            ld hl,rn_buf
rn_replace_put:
            ld a,(hl)
            or a
            jr z,rn_replace_done
            ld (de),a
            inc hl
            inc de
            jr rn_replace_put
rn_replace_done:
            ld (rn_end),de
            ret

; rn_addsigned: HL := HL + A (A a signed byte).
rn_addsigned:
            ld e,a
            rla
            sbc a,a
            ld d,a
            add hl,de
            ret
