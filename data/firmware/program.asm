; The program area: line records from 8000h. A record is its length byte
; (counting itself), the line number (low byte, then the high byte with
; bit 7 set, so numbers are 1-32767 and a record never holds 0Dh 00h before
; its end), the line text and 0Dh. The byte 01h follows the last record;
; the words at FE1Eh and FE20h point just past it. Programs loaded from
; tape are walked the same way, so the records alone decide where the
; program ends.

edpos:      equ sysend+0
ednum:      equ sysend+2
edtext:     equ sysend+4
edend:      equ sysend+6
edlen:      equ sysend+8

; findline: HL := the first record whose number is at least BC, or the end
; byte. Z when the record holds exactly BC. Keeps BC, DE.
findline:   push de
            ld hl,progbase
findline_loop:
            ld a,h
            cp memtop/256
            jr nc,findline_end
            ld a,(hl)
            cp 2
            jr c,findline_end
            push hl
            inc hl
            ld e,(hl)
            inc hl
            ld a,(hl)
            and 7Fh
            ld d,a
            pop hl
            ld a,d
            cp b
            jr c,findline_next
            jr nz,findline_found
            ld a,e
            cp c
            jr c,findline_next
findline_found:
            pop de
            ret
findline_next:
            ld a,(hl)
            add a,l
            ld l,a
            jr nc,findline_loop
            inc h
            jr findline_loop
findline_end:
            pop de
            or 1
            ret

; isrecord: carry when HL is not at a line record (end byte or beyond).
isrecord:   ld a,h
            cp memtop/256
            ccf
            ret c
            ld a,(hl)
            cp 2
            ret

; recnum: HL := the line number of the record at HL.
recnum:     inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            res 7,h
            ret

; progend: HL := address of the end byte. Keeps BC, DE.
progend:    push bc
            ld bc,0FFFFh
            call findline
            pop bc
            ret

; setend: the end byte is at HL; write it and the two end words.
setend:     ld (hl),01h
            inc hl
            ld (progend1),hl
            inc hl
            ld (progend2),hl
            ret

; newprog: an empty program.
newprog:    ld hl,progbase
            jr setend

; bytesfree: HL := bytes left for program lines.
bytesfree:  call progend
            ex de,hl
            ld hl,memtop-1
            or a
            sbc hl,de
            ret nc
            ld hl,0
            ret

; editline: a numbered line was typed; DE is at its first digit. Stores,
; replaces or (with no text) deletes the line, then back to the prompt.
editline:   call readuint
            jp c,err_lineno
            ld a,h
            or l
            jp z,err_lineno
            bit 7,h
            jp nz,err_lineno
            ld b,h
            ld c,l
            call skipsp
            ld h,d
            ld l,e
            push bc
            ld b,0
editline_count:
            ld a,(hl)
            cp 0Dh
            jr z,editline_counted
            inc hl
            inc b
            jr editline_count
editline_counted:
            ld a,b
            pop bc
            push af
            call findline
            call z,delrec
            pop af
            or a
            call nz,insrec
            jp warm

; delrec: remove the record at HL. Keeps HL, BC, DE.
delrec:     push bc
            push de
            push hl
            call progend
            ex de,hl            ; DE = end byte
            pop hl
            push hl
            ld c,(hl)
            ld b,0
            add hl,bc           ; HL = next record
            ex de,hl
            or a
            sbc hl,de
            inc hl              ; bytes from the next record to the end byte
            ld b,h
            ld c,l
            ex de,hl
            pop de
            push de
            ldir
            dec de
            ex de,hl
            call setend
            pop hl
            pop de
            pop bc
            ret

; insrec: insert a record at HL for line BC with the A characters at DE.
insrec:     add a,4
            ld (edlen),a
            ld (edpos),hl
            ld (ednum),bc
            ld (edtext),de
            call progend
            ld (edend),hl
            ld a,(edlen)
            ld c,a
            ld b,0
            add hl,bc           ; new place of the end byte
            push hl
            ld de,memtop
            or a
            sbc hl,de
            pop de
            jp nc,err_memory
            push de
            ld hl,(edend)
            ld bc,(edpos)
            or a
            sbc hl,bc
            inc hl
            ld b,h
            ld c,l
            ld hl,(edend)
            lddr
            pop hl
            call setend
            ld hl,(edpos)
            ld a,(edlen)
            ld (hl),a
            inc hl
            ld bc,(ednum)
            ld (hl),c
            inc hl
            ld a,b
            or 80h
            ld (hl),a
            inc hl
            ex de,hl
            ld a,(edlen)
            sub 4
            ld c,a
            ld b,0
            ld hl,(edtext)
            ldir
            ld a,0Dh
            ld (de),a
            ret
