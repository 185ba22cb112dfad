; Error trapping: ON ERROR GOTO, RESUME, ERR and ERL. An error in a
; running program, while a line is set by ON ERROR GOTO and no handler is
; running yet, goes to that line instead of stopping the program; ERR and
; ERL tell which error and in which line. The GOSUB and FOR entries stay
; as they were. BREAK is never trapped, and an error inside the handler
; stops the program as usual. RUN, CLEAR and a changed program forget the
; handler (clearvars).

; ON ERROR GOTO n: n is the handler's line from now on; 0 turns trapping
; off, and inside a handler stops the program with the error being
; handled, as if it had never been trapped.
st_onerror: inc de
            ld c,t_goto
            call need
            call getint
            ld (onerrline),hl
            ld a,h
            or l
            jp nz,nextstmt
            ld a,(inhandler)
            or a
            jp z,nextstmt
            xor a
            ld (inhandler),a
            ld hl,(errrec)
            ld (curline),hl
            ld hl,(errmsg)
            jp error

; errtrap: called by error with the message in HL; returns (HL kept) when
; the error is not trapped, else runs the handler.
errtrap:    push hl
            ld hl,(onerrline)
            ld a,h
            or l
            jr z,errtrap_no
            ld hl,(curline)
            ld a,h
            or l
            jr z,errtrap_no     ; a command typed at the prompt
            ld a,(inhandler)
            or a
            jr nz,errtrap_no
            pop hl
            ld (errmsg),hl
            ld de,m_syntax      ; ERR: the message's place in the list
            ld b,1
errtrap_code:
            ld a,e
            cp l
            jr nz,errtrap_skip
            ld a,d
            cp h
            jr z,errtrap_found
errtrap_skip:
            ld a,(de)
            inc de
            or a
            jr nz,errtrap_skip
            inc b
            ld a,b
            cp m_lasterr
            jr c,errtrap_code
errtrap_found:
            ld a,b
            ld (errcode),a
            call fnunwind
            ld sp,stacktop
            xor a
            ld (outdev),a
            inc a
            ld (inhandler),a
            ld hl,(stmtpos)
            ld (errpos),hl
            ld hl,(curline)
            ld (errrec),hl
            call recnum
            ld (errline),hl
            ld hl,(onerrline)
            call findexact
            jp runline
errtrap_no: pop hl
            ret

; RESUME: the statement that failed again; RESUME NEXT: the statement
; after it; RESUME n: line n (RESUME 0 is plain RESUME).
st_resume:  inc de
            ld a,(inhandler)
            or a
            jp z,err_resume
            xor a
            ld (inhandler),a
            call atend
            jr z,st_resume_same
            cp t_next
            jr z,st_resume_next
            call getint
            ld a,h
            or l
            jr z,st_resume_same
            call findexact
            jp runline
st_resume_same:
            ld hl,(errrec)
            ld (curline),hl
            ld de,(errpos)
            jp execstmt
st_resume_next:
            ld hl,(errrec)
            ld (curline),hl
            ld de,(errpos)
            call skipstmt
            jp nextstmt

; ERR: the number of the last error trapped (the order of the messages,
; SYNTAX ERROR 1); ERL: its line number. Both 0 before the first.
fn_err:     ld a,(errcode)
            ld l,a
            ld h,0
            jp intresult
fn_erl:     ld hl,(errline)
            jp intresult
