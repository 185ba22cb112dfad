; The cassette: SAVE CAS: and LOAD CAS:. The program travels as tape
; blocks: up to 33 lead-in 00h bytes, three 16h, 02h, 256 data bytes, 03h
; and a two-byte checksum (the 16-bit sum of the data bytes and the 03h,
; low byte first). A header block (data FF FF FF, then the name) comes
; first, then data blocks 00h, block number (16-bit), 253 bytes of the
; program area; block 0 begins its payload with the marker 82h. After the
; last line record the payload is padded with 00h.
;
; Bits go out on port 3Ah, bit 6, least significant bit first, at 700 bits
; a second: a 0 bit is one interval of 1.43 ms between level changes, a 1
; bit two intervals of 0.71 ms. The motor relay (bit 5) runs while the
; tape moves; stopping it ends a recording. LOAD CAS: times the level
; changes through the input latch (bit 7 of port 3Ah, armed by writing
; bit 6 as 0, cleared by every change of the tape signal).

tapemotor:  equ 20h             ; port 3Ah: motor relay
tapelevel:  equ 40h             ; port 3Ah: output level
halfdelay:  equ 157             ; DJNZ turns in half a bit (about 2139 cycles)
leadin:     equ 16              ; lead-in 00h bytes before each block

; tape edge timing, in turns of the 48-cycle loop in tapeedge
longturns:  equ 67              ; above: a whole 0 bit (over 1.07 ms)
glitchturns: equ 10             ; below: a glitch, not a level change

w_cas:      db "CAS", ':'+80h

; devicename: "CAS:" must follow.
devicename: ld hl,w_cas
            call word
            jp nz,err_syntax
            ret

; SAVE DRn: and LOAD DRn: go to the Open DOS's entries when it is in the
; DOS slot (the mark "OD" at 6018h); otherwise DR is no device we know.
dossave:    ld hl,6012h
            jr dosgo
dosload:    ld hl,6015h
dosgo:      ld a,(6018h)
            cp 'O'
            jp nz,err_syntax
            jp (hl)

; SAVE CAS:[name]
st_save:    call skipsp
            cp 'D'
            jp z,dossave        ; SAVE DRn:, in the Open DOS
            call cacheclear     ; the block goes through inbuf
            call devicename
            call skipsp
            push de
            call progend
            ld (tapeend),hl
            ld hl,progbase
            ld (tapeptr),hl
            ; header block: FF FF FF, eight characters of name, "BAS"
            ld hl,tapebuf
            ld b,0
st_save_clear:
            ld (hl),0
            inc hl
            djnz st_save_clear
            ld hl,tapebuf
            ld (hl),0FFh
            inc hl
            ld (hl),0FFh
            inc hl
            ld (hl),0FFh
            inc hl
            pop de
            ld b,8
st_save_name:
            ld a,(de)
            cp 0Dh
            jr z,st_save_pad
            cp ':'
            jr z,st_save_pad
            inc de
            jr st_save_put
st_save_pad:
            ld a,' '
st_save_put:
            ld (hl),a
            inc hl
            djnz st_save_name
            ld (hl),'B'
            inc hl
            ld (hl),'A'
            inc hl
            ld (hl),'S'
            push de
            ld a,tapemotor      ; motor on, output low
            ld (tapeport),a
            out (3Ah),a
            ld b,leadin         ; a moment of steady tone first
st_save_settle:
            push bc
            xor a
            call sendbyte
            pop bc
            djnz st_save_settle
            call sendblock
            ld hl,0
            ld (tapeblk),hl
st_save_next:
            ; data block: 00h, block number, 253 bytes of program
            ld hl,tapebuf
            ld (hl),0
            inc hl
            ld de,(tapeblk)
            ld (hl),e
            inc hl
            ld (hl),d
            inc hl
            ld b,253
            ld a,d
            or e
            jr nz,st_save_fill
            ld (hl),82h
            inc hl
            dec b
st_save_fill:
            push hl
            ld hl,(tapeptr)
            ld de,(tapeend)
            or a
            sbc hl,de
            pop hl
            ld a,0
            jr c,st_save_prog
            jr nz,st_save_byte  ; past the end: padding
            push hl             ; the end byte goes out as the 00h
            ld hl,(tapeptr)     ; that ends the program on tape
            inc hl
            ld (tapeptr),hl
            pop hl
            jr st_save_byte
st_save_prog:
            push hl
            ld hl,(tapeptr)
            ld a,(hl)
            inc hl
            ld (tapeptr),hl
            pop hl
st_save_byte:
            ld (hl),a
            inc hl
            djnz st_save_fill
            call sendblock
            ld hl,(tapeblk)
            inc hl
            ld (tapeblk),hl
            ld hl,(tapeptr)     ; more program (or its end mark) to go?
            ld de,(tapeend)
            or a
            sbc hl,de
            jr c,st_save_next
            jr z,st_save_next
            ld b,leadin         ; a short tail, then the motor stops
st_save_tail:
            push bc
            xor a
            call sendbyte
            pop bc
            djnz st_save_tail
            xor a
            out (3Ah),a
            pop de
            jp nextstmt

; sendblock: the block in tapebuf with its lead-in, sync and checksum.
sendblock:  ld b,leadin
sendblock_lead:
            push bc
            xor a
            call sendbyte
            pop bc
            djnz sendblock_lead
            ld a,16h
            call sendbyte
            ld a,16h
            call sendbyte
            ld a,16h
            call sendbyte
            ld a,02h
            call sendbyte
            ld hl,0
            ld (tapesum),hl
            ld hl,tapebuf
            ld b,0
sendblock_data:
            push bc
            ld a,(hl)
            call sumbyte
            call sendbyte
            inc hl
            pop bc
            djnz sendblock_data
            ld a,03h
            call sumbyte
            call sendbyte
            ld a,(tapesum)
            call sendbyte
            ld a,(tapesum+1)
            jp sendbyte

; sumbyte: add A to the block checksum. Keeps A, HL.
sumbyte:    push hl
            push de
            ld hl,(tapesum)
            ld e,a
            ld d,0
            add hl,de
            ld (tapesum),hl
            pop de
            pop hl
            ret

; sendbyte: A, least significant bit first. Keeps HL, C. Uses B, D, E.
sendbyte:   ld e,a
            ld d,8
sendbyte_bit:
            ld a,tapelevel      ; every bit starts with a level change
            call halfbit
            xor a
            rr e
            jr nc,sendbyte_zero
            ld a,tapelevel      ; a 1 changes again in the middle
sendbyte_zero:
            call halfbit
            dec d
            jr nz,sendbyte_bit
            ret

; halfbit: change the output level by the mask in A, then hold it for
; half a bit. Uses A, B.
halfbit:    ld b,a
            ld a,(tapeport)
            xor b
            ld (tapeport),a
            out (3Ah),a
            ld b,halfdelay
halfbit_wait:
            djnz halfbit_wait
            ret

; LOAD CAS:[name] (the name is not checked): the program on tape replaces
; the one in memory from its first checked data block on. A fault before
; that keeps the program; a fault after it empties the program area.
st_load:    call skipsp
            cp 'D'
            jp z,dosload        ; LOAD DRn:, in the Open DOS
            call cacheclear
            call devicename
            call loadname
            call clearvars      ; the new program is read in above the old
            ld hl,(varbase)
            ld (tapestage),hl
            ld a,tapemotor
            out (3Ah),a
            ld hl,0
            ld (tapeblk),hl
            ld (tapecnt),hl
            xor a
            ld (tapeprev),a
            inc a               ; wait for the first block until BREAK
            ld (tapefirst),a
            ld a,(tapewant)     ; a name asked for: blocks before its
            ld (tapeskip),a     ; header are not ours
st_load_block:
            call readblock
            ld a,(tapebuf)
            cp 0FFh
            jr z,st_load_header
            or a
            jr nz,st_load_block ; a block of some other kind
            ld a,(tapeskip)
            or a
            jr nz,st_load_block ; a program we pass over
            ld hl,(tapebuf+1)
            ld de,(tapeblk)
            or a
            sbc hl,de
            jp nz,tapefail      ; a block is missing
            ld hl,tapebuf+3
            ld b,253
            ld a,d
            or e
            jr nz,st_load_copy
            ld a,(hl)
            cp 82h
            jr nz,st_load_copy
            inc hl
            dec b
st_load_copy:
            ld a,(hl)           ; 0Dh 00h (in a block or across two)
            or a                ; ends the program
            jr nz,st_load_store
            ld a,(tapeprev)
            cp 0Dh
            jr z,st_load_end
            push hl             ; a 00h first is an empty program
            ld hl,(tapecnt)
            ld a,h
            or l
            pop hl
            jr z,st_load_end
            xor a
st_load_store:
            ld (tapeprev),a
            call storetape
            inc hl
            djnz st_load_copy
            ld hl,(tapeblk)
            inc hl
            ld (tapeblk),hl
            jp st_load_block
st_load_header:                 ; FF FF FF, the name, "BAS"
            ld a,(tapewant)
            or a
            jr z,st_load_take
            ld hl,tapebuf+3
            ld de,tapename
            ld b,8
st_load_cmp:
            ld a,(de)
            cp (hl)
            jr nz,st_load_other
            inc hl
            inc de
            djnz st_load_cmp
st_load_take:
            xor a               ; this program: its blocks from 0
            ld (tapeskip),a
            ld h,a
            ld l,a
            ld (tapeblk),hl
            jp st_load_block
st_load_other:
            ld a,1
            ld (tapeskip),a
            ld hl,m_skipped
            call puts
            ld hl,tapebuf+3
            ld b,8
st_load_showname:
            ld a,(hl)
            call putch
            inc hl
            djnz st_load_showname
            call crlf
            jp st_load_block
st_load_end:
            xor a
            out (3Ah),a         ; motor off
            ld bc,(tapecnt)     ; the whole tape was good: the new program
            ld a,b              ; takes the old one's place
            or c
            jr z,st_load_moved
            ld hl,(tapestage)
            ld de,progbase
            ldir
st_load_moved:
            ld hl,(tapecnt)
            ld de,progbase
            add hl,de
            call setend
            call clearvars
            jp warm

m_skipped:  db "SKIPPED ", 0

; loadname: the name after LOAD CAS: (up to a ":" or the end of the line)
; into tapename, padded with blanks to eight characters as SAVE writes
; it; tapewant := 1 when a name was given.
loadname:   call skipsp
            ld hl,tapename
            ld b,8
            xor a
            ld (tapewant),a
loadname_char:
            ld a,(de)
            cp 0Dh
            jr z,loadname_pad
            cp ':'
            jr z,loadname_pad
            inc de
            ld (hl),a
            ld a,1
            ld (tapewant),a
            inc hl
            djnz loadname_char
loadname_skip:                  ; a ninth character on is not part of it
            ld a,(de)
            cp 0Dh
            ret z
            cp ':'
            ret z
            inc de
            jr loadname_skip
loadname_pad:
            ld (hl),' '
            inc hl
            djnz loadname_pad
            ret

; storetape: append A to the program being read in. Keeps BC, HL. A
; program that does not fit beside the one in memory is refused before
; anything of the old one is changed.
storetape:  push hl
            push de
            ld hl,(tapecnt)
            ld de,(tapestage)
            add hl,de
            ld (hl),a
            inc hl
            ld de,memtop-1
            push hl
            or a
            sbc hl,de
            pop hl
            jr nc,storetape_full
            ld de,(tapestage)
            or a
            sbc hl,de
            ld (tapecnt),hl
            pop de
            pop hl
            ret
storetape_full:
            call tapestop
            jp err_memory

; tapestop: motor off after a failed load. The program in memory is still
; the old one: the new one was only being read in above it.
tapestop:   xor a
            out (3Ah),a
            ret

tapefail:   call tapestop
            jp err_tape

; readblock: find the next block on tape and read its 256 data bytes into
; tapebuf, checking the checksum.
readblock:  ld c,0              ; shifter: hunt bit by bit for 16h
readblock_hunt:
            call readbit
            rr c
            ld a,c
            cp 16h
            jr nz,readblock_hunt
            ld a,(tapeskip)     ; the tape is running now: gaps are faults,
            ld (tapefirst),a    ; except while programs are passed over
readblock_sync:
            call readbyte
            cp 16h
            jr z,readblock_sync
            cp 02h
            jp nz,tapefail
            ld hl,0
            ld (tapesum),hl
            ld hl,tapebuf
            ld b,0
readblock_data:
            push bc
            call readbyte
            call sumbyte
            ld (hl),a
            inc hl
            pop bc
            djnz readblock_data
            call readbyte
            cp 03h
            jp nz,tapefail
            call sumbyte
            call readbyte
            ld c,a
            call readbyte
            ld b,a
            ld hl,(tapesum)
            or a
            sbc hl,bc
            jp nz,tapefail
            ret

; readbyte: eight bits, least significant first, into A. Keeps HL.
readbyte:   push bc
            ld b,8
readbyte_bit:
            push bc
            call readbit
            pop bc
            rr c
            djnz readbyte_bit
            ld a,c
            pop bc
            ret

; readbit: carry := the next bit. One long interval is a 0, two short
; ones a 1; a short one followed by a long one counts as the 0 alone.
; Keeps HL, C.
readbit:    call tapeedge
            ld a,b
            or a
            jr nz,readbit_long
            ld a,e
            cp glitchturns
            jr c,readbit
            cp longturns
            jr nc,readbit_long
readbit_second:
            call tapeedge
            ld a,b
            or a
            jr nz,readbit_long
            ld a,e
            cp glitchturns
            jr c,readbit_second
            cp longturns
            jr nc,readbit_long
            scf
            ret
readbit_long:
            or a
            ret

; tapeedge: wait for the next change of the tape signal; BE := the turns
; of the wait loop it took (48 cycles each). A wait of a second without
; one fails the load, except before the first block (or while programs
; are passed over): the tape may have a long leader. The break key stops
; the load. Keeps HL, C.
tapeedge:   ld de,0
tapeedge_wait:
            in a,(3Ah)          ; 11
            rla                 ; 4
            jr nc,tapeedge_seen ; 7
            inc de              ; 6
            ld a,e              ; 4
            or a                ; 4
            jr nz,tapeedge_wait ; 12
            ld a,(breakflag)    ; every 256 turns: the break key
            rra
            jr c,tapeedge_break
            ld a,d
            or a
            jr nz,tapeedge_wait
            ld a,(tapefirst)    ; a second without a change: a fault
            or a                ; once the tape runs
            jp z,tapefail
            jr tapeedge_wait
tapeedge_seen:
            ld a,tapemotor      ; rearm the latch
            out (3Ah),a
            ld b,d
            ld a,d              ; waits above 255 turns read as B = 1
            or a
            ret z
            ld b,1
            ret
tapeedge_break:
            ld hl,breakflag
            res 0,(hl)
            call tapestop
            jp err_break
