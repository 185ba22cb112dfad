; Orvane open BASIC: the firmware in the 16 KB BASIC slot at 0000h-3FFFh.
; Reset enters at 0000h. Interrupt mode 2 with I = 0: the keyboard's
; vector byte 34h finds its handler address at 0034h. The NMI at 0066h
; counts the 50 Hz ticks.

            include 'memory.asm'

            org 0000h
reset:      di
            ld sp,stacktop
            jp coldstart

            defs 0034h-$, 0FFh
            dw keyisr           ; 34h: keyboard
            dw nullisr          ; 36h: cassette (PIO B), not used
            jp coldstart        ; 38h: RST 38h (an FFh byte executed)

            defs 0066h-$, 0FFh
nmi:        push hl
            ld hl,(ticks)
            inc hl
            ld (ticks),hl
            pop hl
            retn

coldstart:  di
            ld sp,stacktop
            im 2
            xor a
            ld i,a
            ld hl,vars          ; all system variables start at zero
            ld de,vars+1
            ld bc,sysend+64-vars-1
            ld (hl),0
            ldir
            ld a,00100000b      ; cassette: motor off, output low
            xor 00100000b
            out (3Ah),a
            ld hl,1
            ld (rndseed),hl
            call newprog
            call clearvars
            call cls
            ld hl,m_banner
            call puts
            call bytesfree
            call prnum
            ld hl,m_free
            call puts

; warm: back to the prompt, ready for a command or a program line.
warm:       ld sp,stacktop
            xor a
            ld (outdev),a
            ld hl,0
            ld (curline),hl
            call resetstacks
            ei
            call crlf_if
            ld a,'>'
            call putch
            ld hl,linebuf
            call getline
            jr c,warm
            call upcase
            ex de,hl
            call skipsp
            cp 0Dh
            jr z,warm
            call isdigit
            jp c,editline
            jp execstmt

; error: print the message at HL, with the line number when a program was
; running, and go back to the prompt.
error:      ld sp,stacktop
            push hl
            xor a
            ld (outdev),a
            call crlf_if
            pop hl
            call puts
            ld hl,(curline)
            ld a,h
            or l
            jr z,error_done
            push hl
            ld hl,m_inline
            call puts
            pop hl
            call recnum
            call prnum
error_done: call crlf
            jp warm

err_syntax: ld hl,m_syntax
            jr error
err_overflow:
            ld hl,m_overflow
            jr error
err_divzero:
            ld hl,m_divzero
            jr error
err_noline: ld hl,m_noline
            jr error
err_return: ld hl,m_return
            jr error
err_next:   ld hl,m_next
            jr error
err_nesting:
            ld hl,m_nesting
            jr error
err_memory: ld hl,m_memory
            jr error
err_long:   ld hl,m_long
            jr error
err_lineno: ld hl,m_lineno
            jr error
err_argument:
            ld hl,m_argument
            jr error
err_break:  ld hl,m_break
            jr error
err_tape:   ld hl,m_tape
            jr error

m_banner:   db "ORVANE BASIC 1.0", 0Dh, 0
m_free:     db " BYTES FREE", 0Dh, 0
m_inline:   db " IN LINE ", 0
m_syntax:   db "SYNTAX ERROR", 0
m_overflow: db "OVERFLOW", 0
m_divzero:  db "DIVISION BY ZERO", 0
m_noline:   db "LINE NOT FOUND", 0
m_return:   db "RETURN WITHOUT GOSUB", 0
m_next:     db "NEXT WITHOUT FOR", 0
m_nesting:  db "TOO DEEPLY NESTED", 0
m_memory:   db "OUT OF MEMORY", 0
m_long:     db "LINE TOO LONG", 0
m_lineno:   db "BAD LINE NUMBER", 0
m_argument: db "BAD ARGUMENT", 0
m_break:    db "BREAK", 0
m_stop:     db "STOP", 0
m_tape:     db "TAPE ERROR", 0
m_retype:   db "NOT A NUMBER, TYPE AGAIN", 0

            include 'screen.asm'
            include 'keyboard.asm'
            include 'program.asm'
            include 'expr.asm'
            include 'statements.asm'
            include 'cassette.asm'
            include 'float.asm'
            include 'fmath.asm'
