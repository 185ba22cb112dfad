; Working on the program (in the extension): TRON and TROFF.

; TRON: from now on every line shows its number in round brackets (the
; character set has no square ones) as it starts
; to run, on the screen; TROFF ends that. NEW and RUN keep it, a reset
; ends it.
st_tron:    ld a,1
            jr st_trace
st_troff:   xor a
st_trace:   ld (tracing),a
            inc de
            jp nextstmt

; traceline: "(n)" for the line whose record is at HL, on the screen
; whatever output device a statement chose. Keeps HL, DE.
traceline:  push hl
            push de
            ld a,(outdev)
            push af
            xor a
            ld (outdev),a
            call recnum
            ld a,'('
            call putch
            call prnum
            ld a,')'
            call putch
            pop af
            ld (outdev),a
            pop de
            pop hl
            ret
