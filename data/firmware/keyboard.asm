; Keyboard input. A key press interrupts through vector 34h (IM 2); the
; handler reads port 38h once for the key (bit 7 set) and ends with RETI.
; Typed text moves on one character per pair of reads: the handler's read
; takes a character, and the next read outside the handler (keypoll, from
; the key wait loop and between statements) asks for the following one,
; which interrupts at once. Keys go into a 256-byte ring.
; When the ring is full the handler leaves the key in the keyboard and marks
; the keyboard stalled; getkey fetches it as soon as there is room, so typed
; text of any length arrives complete. A typed text waits for a first read
; of the port before it starts, which getkey and the break check supply.
; Ctrl+C (03h) is not queued but raises the break flag.

keyisr:     push hl
            push af
            call keytake
            pop af
            ld hl,keyisr_resume
            ex (sp),hl          ; HL back, the resume address on top
            reti                ; acknowledges the keyboard's next request
; Interrupts come back on only after the RETI: an NMI taken between EI and
; RETI would otherwise re-enable them and let the next request in before
; the RETI acknowledged it, which would read the keyboard out of turn.
keyisr_resume:
            ei
            ret

; a spare handler for interrupts nobody asked for
nullisr:    ei
            reti

; keytake: with interrupts disabled, move one key from the port into the
; ring, or mark the keyboard stalled when the ring is full. Uses AF, HL.
keytake:    ld a,(keyhead)
            inc a
            ld hl,keytail
            cp (hl)
            jr z,keytake_full
            in a,(38h)
            ld h,a
            xor a
            ld (kstalled),a
            ld a,h
            bit 7,a
            ret z
            and 7Fh
            cp 03h
            jr z,keytake_break
            ld h,a
            ld a,(keyhead)
            ld l,a
            inc a
            ld (keyhead),a
            ld a,h
            ld h,keybuf/256
            ld (hl),a
            ret
keytake_break:
            ld hl,breakflag
            set 0,(hl)
            ret
keytake_full:
            ld a,1
            ld (kstalled),a
            ret

; takewaiting: fetch the key a stalled keyboard holds, then acknowledge
; the request that read raises, as the interrupt handler's RETI would.
takewaiting:
            call keytake
            reti

; keypoll: give a typed text that waits for its first read that read.
; Must not run while a key waits in a stalled keyboard. Uses AF.
keypoll:    di
            ld a,(kstalled)
            or a
            jr nz,keypoll_out
            in a,(38h)
keypoll_out:
            ei
            ret

; getkey: wait for the next key and return it in A, with a blinking cursor
; at the cursor cell meanwhile. The break key returns 03h. Keeps BC, DE, HL.
getkey:     push hl
            push de
            ld a,(curcol)
            cp scrcols
            jr nc,getkey_nocursor
            call curaddr
            set 7,(hl)
getkey_nocursor:
getkey_wait:
            ld a,(breakflag)
            rra
            jr c,getkey_break
            di
            ld a,(keytail)
            ld hl,keyhead
            cp (hl)
            jr nz,getkey_have
            ei
            call keypoll
            jr getkey_wait
getkey_have:
            ld l,a
            inc a
            ld (keytail),a
            ld h,keybuf/256
            ld a,(hl)
            push af
            ld a,(kstalled)
            or a
            call nz,takewaiting ; room again: fetch the key that waited
            ei
            pop af
            jr getkey_out
getkey_break:
            ld hl,breakflag
            res 0,(hl)
            ld a,03h
getkey_out: push af
            ld a,(curcol)
            cp scrcols
            jr nc,getkey_done
            call curaddr
            res 7,(hl)
getkey_done:
            pop af
            pop de
            pop hl
            ret

; inkey: A := the next key without waiting, 0 when none waits. Keeps BC,
; DE, HL.
inkey:      push hl
            call keypoll
            di
            ld a,(keytail)
            ld hl,keyhead
            cp (hl)
            jr z,inkey_none
            ld l,a
            inc a
            ld (keytail),a
            ld h,keybuf/256
            ld a,(hl)
            push af
            ld a,(kstalled)
            or a
            call nz,takewaiting
            ei
            pop af
            pop hl
            ret
inkey_none: ei
            xor a
            pop hl
            ret

; chkbreak: keeps typed text flowing and stops when the break key was
; pressed (LIST; the statement loop does the same inline). Keeps
; everything but AF.
chkbreak:   call keypoll
            ld a,(breakflag)
            rra
            ret nc
breakhit:   ld hl,breakflag
            res 0,(hl)
            jp err_break

; pollnow: the statement loop's turn to poll the keyboard (HL at
; pollcount).
pollnow:    ld (hl),16
            jp keypoll

; getline: read a line into the buffer at HL (up to maxline characters,
; ended by 0Dh), echoing it, with the editing keys of the line editor
; (editing.asm). Characters beyond the limit are dropped and make the line
; fail with LINE TOO LONG. Returns carry set when the break key abandoned
; the line. Keeps HL, BC, DE.
maxline:    equ 250
getline:    push bc
            ld bc,0
            call edline
            pop bc
            ret
