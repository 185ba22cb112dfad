; Statement execution. DE is the text pointer; curline is the record of the
; running line (0 for a command typed at the prompt). Every statement ends
; by jumping to nextstmt, which moves on past ":" or to the next line.

; This file holds the dispatcher and the statements that stand alone;
; the families live in their own files: flow.asm (GOTO, GOSUB, ON, IF,
; FOR, NEXT), print.asm (PRINT, LPRINT, LIST), input.asm (INPUT, GET,
; READ, DATA, RESTORE), deffn.asm (DEF FN and FN calls).

; execstmt: run the statement at DE.
execstmt:   ld (stmtpos),de
            ld hl,pollcount     ; the keyboard every 16 statements
            dec (hl)
            call z,pollnow
            ld a,(breakflag)    ; the break key, or TRON
            or a
            jp nz,stmtflags
execstmt_go:
            ld hl,tmpdesc       ; the temporary strings and values of the
            ld (tmpsp),hl       ; last statement are given up
            ld hl,vstack
            ld (vsp),hl
            ld a,(de)
            cp ' '
            call z,skipsp
            cp 0Dh
            jp z,endofline
            cp ':'
            jr nz,execstmt_word
            inc de
            jr execstmt
execstmt_word:
            cp t_else+1
            jr nc,execstmt_more
            sub 80h
            jr c,execstmt_let
            inc de
            add a,a
            ld l,a
            ld h,0
            ld bc,stmttable
            add hl,bc
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            jp (hl)
execstmt_more:                  ; the statements added after the functions
            cp t_resume
            jp z,st_resume
            cp t_line
            jp z,st_line
            cp t_while
            jp z,st_while
            cp t_wend
            jp z,st_wend
            cp t_swap
            jp z,st_swap
            cp t_call
            jp z,st_call
            cp t_setdot
            jp z,st_setdot
            cp t_clrdot
            jp z,st_clrdot
            cp t_tron
            jp z,st_tron
            cp t_troff
            jp z,st_troff
            cp t_auto
            jp z,st_auto
            cp t_delete
            jp z,st_delete
            cp t_edit
            jp z,st_edit
            sub t_kill          ; KILL to EOF: the Open DOS's statements
            cp t_eof-t_kill+1   ; (DE still at the keyword)
            ld hl,6026h
            jp c,dosgo
execstmt_let:
            ld a,(de)
            call isletter
            jp c,st_let
            jp err_syntax

stmttable:  dw st_end, st_for, st_next, st_data, st_input, st_dim, st_read, st_let
            dw st_goto, st_run, st_if, st_restore, st_gosub, st_return, st_rem, st_stop
            dw st_on, st_print, st_list, st_llist, st_lprint, st_clear, st_new, st_cls
            dw st_poke, st_out, st_sound, st_save, st_load, st_def, st_cont, st_randomize
            dw st_get, st_renum, st_else

; nextstmt: after a statement: ":" or the end of the line must follow (or
; ELSE, which ends the THEN part of an IF).
nextstmt:   ld a,(de)
            cp ' '
            call z,skipsp
            cp ':'
            jr nz,nextstmt_eol
            inc de
            jp execstmt
nextstmt_eol:
            cp t_else
            jr z,skipline
            cp 0Dh
            jp nz,err_syntax
endofline:  ld hl,(curline)
            ld a,h
            or l
            jp z,warm
            ld c,(hl)
            ld b,0
            add hl,bc
; runline: run from the record at HL; at the end of the program, stop.
runline:    call isrecord
            jp c,warm
            ld (curline),hl
            inc hl
            inc hl
            inc hl
            ex de,hl
            jp execstmt

; skipline: ignore the rest of the line (REM, a false IF, ELSE).
st_else:
st_rem:
skipline:   ld a,(de)
            cp 0Dh
            jr z,endofline
            inc de
            jr skipline

; skipstmt: DE to the ":" or 0Dh that ends this statement (quotes kept
; whole).
skipstmt:   ld a,(de)
            cp 0Dh
            ret z
            cp ':'
            ret z
            inc de
            cp '"'
            jr nz,skipstmt
skipstmt_q: ld a,(de)
            cp 0Dh
            ret z
            inc de
            cp '"'
            jr nz,skipstmt_q
            jr skipstmt

; atend: Z when the statement has ended (":", 0Dh or ELSE at DE).
atend:      ld a,(de)
            cp ' '
            call z,skipsp
            cp ':'
            ret z
            cp t_else
            ret z
            cp 0Dh
            ret

st_data:    call skipstmt
            jp nextstmt

; LET v=e (LET may be left out)
st_let:     call varaddr
            push hl
            ld a,(numtype)
            push af
            ld c,'='
            call need
            inc de              ; X=A alone: the five bytes copied
            ld a,(de)
            dec de
            cp 0Dh
            jr z,st_let_lone
            cp ':'
            jr z,st_let_lone
st_let_expr:
            call expr
            pop af
            pop bc
            call storeval
            jp nextstmt
st_let_lone:
            ld a,(de)
            call isletter
            jr nc,st_let_expr
            pop af
            push af
            dec a
            jr nz,st_let_expr   ; the target is not a float
            call getname
            call findvar
            jr z,st_let_found
            ld hl,zeroval
st_let_found:
            pop af
            pop bc
            push de
            ld d,b
            ld e,c
            ld bc,4
            add hl,bc
            ld a,(hl)           ; a zero is stored as five zero bytes
            or a
            sbc hl,bc
            or a
            jr nz,st_let_copy
            ld hl,zeroval
st_let_copy:
            ld c,5
            ldir
            pop de
            jp nextstmt

; storeval: the current value into the cell BC of type A (0 whole number,
; 1 float, 2 string). Keeps DE.
storeval:   cp 1
            jr z,storeval_float
            jr c,storeval_int
            call needstr
            push de
            ex de,hl
            ld h,b
            ld l,c
            call strassign
            pop de
            ret
storeval_int:
            call toint
            ld a,l
            ld (bc),a
            inc bc
            ld a,h
            ld (bc),a
            ret
storeval_float:
            call tofloat
            ld h,b
            ld l,c
            jp fp_store

; truth: Z when the current value (a number) is 0.
truth:      ld a,(vtype)
            or a
            jr nz,truth_float
            ld a,h
            or l
            ret
truth_float:
            dec a
            jp nz,err_type
            call fp_test
            or a
            ret

st_end:     call setcont_next
            jp warm

st_stop:    call setcont_next
            ld hl,m_stop
            jp errorkeep

; setcont_next: CONT may go on after this statement.
setcont_next:
            ld hl,(curline)
            ld a,h
            or l
            ret z
            ld (contrec),hl
            ld (contpos),de
            ld a,2
            ld (contok),a
            ret

; CONT: on after STOP, END or BREAK, where the program stopped.
st_cont:    ld a,(contok)
            or a
            jp z,err_cont
            ld hl,(contrec)
            ld (curline),hl
            ld de,(contpos)
            ld b,a
            xor a
            ld (contok),a
            dec b
            jp z,execstmt
            jp nextstmt

st_new:     call newprog
            call clearvars
            jp warm

st_clear:   call clearvars
            jp nextstmt

st_cls:     call cls
            jp nextstmt

; RUN [line]
st_run:     call skipsp
            cp 'D'
            ld hl,601Ah         ; RUN DRn:, in the Open DOS
            jp z,dosgo
            call atend
            ld hl,0
            call nz,getint
            push hl
            call tokprog
            call clearvars
            ld hl,0
            ld (curline),hl
            pop hl
            ld a,h
            or l
            jr nz,st_run_at
            ld hl,progbase
            jp runline
st_run_at:  call findexact      ; HL = the line asked for
            jp runline

; RANDOMIZE [n]: a new start for RND, from n or from the clock.
st_randomize:
            call atend
            jr z,st_randomize_clock
            call getnum
            call tofloat
            call seedfrom
            jp nextstmt
st_randomize_clock:
            ld hl,(ticks)
            ld a,r
            xor l
            ld l,a
            ld (fp_seed),hl
            ld a,r
            ld (fp_seed+2),a
            ld a,h
            or 1
            ld (fp_seed+3),a
            jp nextstmt

; seedfrom: RND's sequence starts again from the number in FPA. Its
; mantissa, exponent and sign all go into the state, and a few turns of
; the generator spread a difference in any of them over every bit, so
; seeds that differ only by a power of two start apart. FPA is lost.
seedfrom:   push de
            ld hl,fpa
            ld de,fp_seed
            ld bc,4
            ldir
            ld hl,fp_seed
            ld a,(fpa_e)
            or a
            jr nz,seedfrom_mix
            ld (hl),a           ; 0: a state of its own (the generator
            inc hl              ; replaces an all-0 state)
            ld (hl),a
            inc hl
            ld (hl),a
            inc hl
            ld (hl),a
            jr seedfrom_stir0
seedfrom_mix:
            xor (hl)
            ld (hl),a
            inc hl
            ld a,(fpa_s)
            xor (hl)
            ld (hl),a
seedfrom_stir0:
            ld b,4
seedfrom_stir:
            call fp_rnd
            djnz seedfrom_stir
            pop de
            ret

st_poke:    call getaddr
            push hl
            ld c,','
            call need
            call getbyte
            pop hl
            ld (hl),a
            jp nextstmt

st_out:     call getbyte
            push hl
            ld c,','
            call need
            call getbyte
            pop bc
            out (c),a
            jp nextstmt

; SOUND n: the control byte n to the sound chip.
st_sound:   call getbyte
            out (6),a
            jp nextstmt

; CALL a: the machine code at a (-32768..65535) runs as a subroutine and
; ends with RET. It may change A, BC, DE, HL, IX and IY and the alternate
; registers; the stack must come back as it was, interrupts stay on.
; USR(a) does the same in an expression and gives HL as a whole number.
st_call:    inc de
            call getaddr
            call usrcall
            jp nextstmt
fn_usr:     call parenarg
            call getaddr_val
            call usrcall
            jp intresult
usrcall:    push de
            push ix
            push iy
            call jphl
            pop iy
            pop ix
            pop de
            ret
