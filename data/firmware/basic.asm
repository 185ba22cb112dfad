; Orvane open BASIC: the firmware in the 16 KB BASIC slot at 0000h-3FFFh.
; Entered at 0000h on reset; the NMI at 0066h is the 50 Hz time base.

screen:     equ 7C00h
rows:       equ 24
cols:       equ 40
stacktop:   equ 0FE00h
ticks:      equ 0FD00h          ; 16-bit count of 50 Hz ticks

            org 0000h
reset:      di
            ld sp,stacktop
            jp start

            defs 0066h-$, 0FFh
nmi:        push hl
            ld hl,(ticks)
            inc hl
            ld (ticks),hl
            pop hl
            retn

start:      ld hl,0
            ld (ticks),hl
            call clearscreen
            ld hl,banner
            ld de,screen
.copy:      ld a,(hl)
            or a
            jr z,idle
            ld (de),a
            inc hl
            inc de
            jr .copy
idle:       jr idle

; clearscreen: fill all 24 rows with spaces (the 1 KB block holds
; 24 rows of 40 plus unused gaps, which are blanked as well)
clearscreen:
            ld hl,screen
            ld de,screen+1
            ld bc,1023
            ld (hl),' '
            ldir
            ret

banner:     defm "ORVANE BASIC", 0
