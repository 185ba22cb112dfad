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
            push af
            ld hl,(ticks)
            inc hl
            ld (ticks),hl
            ld a,h
            or l
            jr nz,nmi_done
            ld hl,(tickshi)     ; TIME's count goes on past 65535
            inc hl
            ld (tickshi),hl
nmi_done:   pop af
            pop hl
            retn

coldstart:  di
            ld sp,stacktop
            im 2
            xor a
            ld i,a
            ld a,00100000b      ; cassette: motor off, output low
            xor 00100000b
            out (3Ah),a
            ld hl,(warmsig)     ; a reset with our program area intact
            ld de,'O'+'B'*256   ; and lines in it keeps the program
            or a
            sbc hl,de
            jr nz,coldstart_clear
            call progvalid
            jr nz,coldstart_clear
            ld a,(progbase)     ; the end byte alone: nothing to keep, so
            dec a               ; the start is the cold one, banner and all
            jr z,coldstart_clear
            call sysclear
            ld hl,m_warm
            jr coldstart_banner
coldstart_clear:
            call sysclear
            call newprog
            ld hl,m_banner
coldstart_banner:
            push hl
            ld hl,'O'+'B'*256
            ld (warmsig),hl
            call clearvars
            call cls
            pop hl
            call puts
            call bytesfree
            call prnum
            ld hl,m_free
            call puts

; warm: back to the prompt, ready for a command or a program line. The
; GOSUB and FOR stacks stay while CONT may go on.
warm:       ld sp,stacktop
            xor a
            ld (outdev),a
            ld hl,(curline)     ; a program that stops (END, STOP, an error,
            ld a,h              ; BREAK, its last line) closes its files
            or l
            call nz,dosclose
            ld hl,0
            ld (curline),hl
            call resettemps
            ld a,(contok)
            or a
            call z,resetstacks
            ei
            call crlf_if
            ld a,'>'
            call putch
            ld hl,linebuf
            call promptline     ; with AUTO's number or EDIT's line
            jr c,warm
            call tokenise       ; small letters become capitals there
            ex de,hl
            call skipsp
            cp 0Dh
            jr z,warm
            call isdigit
            jp c,editline
            jp execstmt

; sysclear: the system variables (not the number package's) start at zero.
sysclear:   ld hl,automode
            ld de,automode+1
            ld bc,0FCFFh-automode
            ld (hl),0
            ldir
            ret

; error: print the message at HL, with the line number when a program was
; running, and go back to the prompt. CONT cannot go on after it.
error:      xor a
            ld (contok),a
            ld (automode),a     ; an error ends AUTO
            call errtrap        ; returns when no handler takes the error
errorkeep:  call fnunwind
            ld sp,stacktop
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

; err_syntaxdata: a number READ from text. A handler sees the READ's line
; (ERL, and RESUME goes back to the READ); the message names the DATA line,
; where the fault is.
err_syntaxdata:
            xor a
            ld (contok),a
            ld hl,m_syntax
            call errtrap
            ld hl,(datarec)
            ld (curline),hl
err_syntax: ld hl,m_syntax
            jr error
err_overflow:
            ld a,(s_blanks)     ; an INPUT answer is asked for again
            or a
            jp nz,answer_big
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
            jp error
err_tape:   ld hl,m_tape
            jp error
err_type:   ld hl,m_type
            jp error
err_subscript:
            ld hl,m_subscript
            jp error
err_redim:  ld hl,m_redim
            jp error
err_undef:  ld hl,m_undef
            jp error
err_strlong:
            ld hl,m_strlong
            jp error
err_complex:
            ld hl,m_complex
            jp error
err_nodata: ld hl,m_nodata
            jp error
err_cont:   ld hl,m_cont
            jp error
err_direct: ld hl,m_direct
            jp error
err_resume: ld hl,m_resume
            jp error
err_wend:   ld hl,m_wend
            jp error
err_while:  ld hl,m_while
            jp error
; BREAK: CONT may go on with the statement it stopped.
err_break:  ld hl,(curline)
            ld a,h
            or l
            jr z,err_break_direct
            ld (contrec),hl
            ld hl,(stmtpos)
            ld (contpos),hl
            ld a,1
            ld (contok),a
            ld hl,m_break
            jp errorkeep
err_break_direct:
            ld hl,m_break
            jp error

m_banner:   db "ORVANE BASIC 2.0", 0Dh, 0
m_warm:     db "ORVANE BASIC 2.0 - PROGRAM KEPT", 0Dh, 0
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
m_type:     db "TYPE MISMATCH", 0
m_subscript: db "BAD SUBSCRIPT", 0
m_redim:    db "ARRAY ALREADY DIMENSIONED", 0
m_undef:    db "UNDEFINED FUNCTION", 0
m_strlong:  db "STRING TOO LONG", 0
m_complex:  db "FORMULA TOO COMPLEX", 0
m_nodata:   db "OUT OF DATA", 0
m_cont:     db "CAN'T CONTINUE", 0
m_direct:   db "NOT IN DIRECT MODE", 0
m_resume:   db "RESUME WITHOUT ERROR", 0
m_wend:     db "WEND WITHOUT WHILE", 0
m_while:    db "WHILE WITHOUT WEND", 0
m_lasterr:  equ 27              ; one past the number of m_while
m_retype:   db "NOT A NUMBER, TYPE AGAIN", 0
m_extra:    db "EXTRA IGNORED", 0

            include 'screen.asm'
            include 'keyboard.asm'
            include 'program.asm'
            include 'expr.asm'
            include 'vars.asm'
            include 'strings.asm'
            include 'statements.asm'
            include 'flow.asm'
            include 'print.asm'
            include 'input.asm'
            include 'cassette.asm'
            include 'float.asm'
            include 'fmath.asm'

; The BASIC slot ends at 3FFFh (code that passes it makes the DEFS below
; negative, which fails the build). The extension follows at 4000h: the
; ROM sockets there read as memory and ignore writes, and the machine places this part of the image in them
; whenever the open firmware runs. Code in either part calls the other
; freely; it is one program.
            defs 4000h-$, 0FFh
            org 4000h
extension:
            include 'errors.asm'
            include 'deffn.asm'
            include 'renum.asm'
            include 'graphics.asm'
            include 'editing.asm'
            include 'using.asm'
            include 'fpair.asm'
            include 'diskfiles.asm'
extension_end:                  ; the build refuses an extension past 57FFh
