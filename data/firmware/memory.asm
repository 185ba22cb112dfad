; Memory use of the open BASIC. The ROM owns 0000h-3FFFh; everything it
; keeps while running lives in RAM above the program area.

screen:     equ 7C00h           ; 40x24 text, row r at (r mod 8)*128 + (r div 8)*40
scrcols:    equ 40
scrrows:    equ 24

progbase:   equ 8000h           ; line records start here
memtop:     equ 0F400h          ; the program (with its end byte) stays below this
stacktop:   equ 0F800h          ; processor stack grows down from here (1 KB)
keybuf:     equ 0F800h          ; 256-byte keyboard ring, indexed by keyhead/keytail
linebuf:    equ 0F900h          ; command line being typed (256 bytes)
inbuf:      equ 0FA00h          ; INPUT answers (256 bytes)
gosubstk:   equ 0FB00h          ; GOSUB entries: record pointer, text pointer
gosubmax:   equ 16
forstk:     equ 0FB40h          ; FOR entries, 10 bytes each (see fortop below)
formax:     equ 12
forsize:    equ 10
vars:       equ 0FC00h          ; A-Z, two bytes each

; single variables of the system
ticks:      equ 0FC40h          ; 50 Hz count from the NMI
currow:     equ 0FC42h
curcol:     equ 0FC43h          ; 0-40; 40 means a wrap is pending
keyhead:    equ 0FC44h          ; next free slot of keybuf
keytail:    equ 0FC45h          ; next key to hand out
kstalled:   equ 0FC46h          ; 1: the ring was full, a key waits in the keyboard
breakflag:  equ 0FC47h          ; 1: the break key (Ctrl+C) was pressed
curline:    equ 0FC48h          ; record of the running line, 0 in direct mode
gosubsp:    equ 0FC4Ah          ; next free GOSUB entry
forsp:      equ 0FC4Ch          ; next free FOR entry
rndseed:    equ 0FC4Eh
outdev:     equ 0FC50h          ; 0 screen, 1 printer
prtcol:     equ 0FC51h          ; printer column, for PRINT zones
inptr:      equ 0FC52h          ; INPUT: next character of the answer, 0 if none
listend:    equ 0FC54h          ; LIST: last line number to show
tapesum:    equ 0FC56h          ; cassette block checksum
tapeblk:    equ 0FC58h          ; cassette block number
tapeptr:    equ 0FC5Ah          ; cassette: next program byte
tapeend:    equ 0FC5Ch          ; cassette: end of the program bytes
tapecnt:    equ 0FC5Eh          ; cassette: bytes loaded so far
tapefirst:  equ 0FC60h          ; cassette: seconds still allowed for the tape to start
tapeport:   equ 0FC61h          ; cassette: last value written to port 3Ah
sysend:     equ 0FC80h

; The two words the tape loaders and savers share with BASIC:
progend1:   equ 0FE1Eh          ; address just after the 01h end byte
progend2:   equ 0FE20h          ; that address plus one
