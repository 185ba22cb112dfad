; Input statements: INPUT, GET, and READ with DATA and RESTORE, which
; share the reading of an item (datum).

; INPUT ["prompt";] v [, v ...]. Answers are separated by commas; a string
; answer may be quoted. An answer that is not a number asks for all of
; them again; answers left over are ignored with a note.
st_input:   ld a,(de)
            cp ' '
            call z,skipsp
            cp '#'              ; INPUT #n: from a file, in the Open DOS
            ld hl,602Ch
            jp z,dosgo
            ld hl,0
            ld (s_lo),hl        ; the prompt
            cp '"'
            jr nz,st_input_ask0
            ld (s_lo),de
            call expr           ; skip the literal
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ';'
            jr z,st_input_psep
            cp ','
            jp nz,err_syntax
st_input_psep:
            inc de
st_input_ask0:
            ld (s_input),de
st_input_ask:
            ld de,(s_lo)
            ld a,d
            or e
            jr z,st_input_noprompt
            call expr
            call putdesc
st_input_noprompt:
            call askline
            ld de,(s_input)
st_input_var:
            call resettemps
            call varaddr
            push hl
            ld a,(numtype)
            push af
            call answer         ; the value, from the answer line
            jr c,st_input_retry
            pop af
            pop bc
            call storeval
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr nz,st_input_done
            inc de
            ld hl,(inptr)       ; the answer ran out: ask for more
            ld a,(hl)
            cp 0Dh
            jr nz,st_input_var
            ld a,'?'
            call putch
            call askline
            jr st_input_var
st_input_done:
            ld hl,(inptr)
            ld a,(hl)
            cp 0Dh
            jp z,nextstmt
            ld hl,m_extra
            call puts
            call crlf
            jp nextstmt
st_input_retry:
            pop af
            pop af
            ld hl,m_retype
            call puts
            call crlf
            jr st_input_ask

; askline: "? " and an answer line into inbuf; inptr := its start.
askline:    ld a,'?'
            call putch
            ld a,' '
            call putch
            call cacheclear     ; the answer takes inbuf
            ld hl,inbuf
            call getline
            jp c,err_break
            ld (inptr),hl
            ret

; answer: the next answer from inptr as a value of type A; inptr moves
; past it and its comma. Carry when a number was asked for and the answer
; is not one. Keeps DE.
answer:     push de
            ld de,(inptr)
            ld hl,s_blanks      ; blanks before a bare answer are kept,
            ld (hl),1           ; and a number too large for the format
            ld (s_insp),sp      ; comes back to answer_big
            call datum
answer_out: push af              ; HL is the value
            xor a
            ld (s_blanks),a
            pop af
            ld (inptr),de
            pop de
            ret

; answer_big: OVERFLOW while an answer was read: it is not a number.
answer_big: ld sp,(s_insp)
            scf
            jr answer_out

; datum: the item at DE (of INPUT or DATA: a number, a quoted string or
; text up to the next comma, colon or line end) as a value of type A; DE
; past it and past its comma. Carry when a number does not read. Blanks
; before bare text are dropped, or kept while s_blanks is 1 (INPUT).
datum:      push af
            push de             ; the item with the blanks before it
            ld a,(de)
            cp ' '
            call z,skipsp
            pop hl
            pop af
            cp 2
            jr z,datum_string
            ld b,0              ; sign
            ld a,(de)
            cp '+'
            jr z,datum_sign
            cp '-'
            jr nz,datum_num
            inc b
datum_sign: inc de
datum_num:  ex de,hl
            call fp_parse
            ex de,hl
            ret c
            ld a,b
            or a
            call nz,fp_neg
            call floatresult
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr z,datum_comma
            cp ':'
            ret z
            cp 0Dh
            ret z
            scf
            ret
datum_comma:
            inc de
            or a
            ret
datum_string:
            ld a,(de)
            cp '"'
            jr z,datum_quote
            ld a,(s_blanks)     ; INPUT keeps the blanks typed first
            or a
            jr z,datum_bare
            ex de,hl
            jr datum_bare
datum_quote:
            inc de
            ld h,d
            ld l,e
            ld b,0
datum_quoted:
            ld a,(de)
            cp 0Dh
            jr z,datum_qend
            inc de
            cp '"'
            jr z,datum_qend
            inc b
            jr datum_quoted
datum_qend: ld a,b
            call newtemp
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jr z,datum_comma
            or a
            ret
datum_bare: ld h,d
            ld l,e
            ld b,0
datum_bare_loop:
            ld a,(de)
            cp 0Dh
            jr z,datum_bend
            cp ','
            jr z,datum_bend
            cp ':'
            jr z,datum_bend
            inc de
            inc b
            jr datum_bare_loop
datum_bend: push hl             ; trailing blanks are not part of it
datum_trim: ld a,b
            or a
            jr z,datum_trimmed
            push hl
            ld a,b
            dec a
            add a,l
            ld l,a
            jr nc,datum_trim_nc
            inc h
datum_trim_nc:
            ld a,(hl)
            pop hl
            cp ' '
            jr nz,datum_trimmed
            dec b
            jr datum_trim
datum_trimmed:
            pop hl
            ld a,b
            call newtemp
            ld a,(de)
            cp ','
            jr z,datum_comma
            or a
            ret

; READ v [, v ...]: the next items of the DATA statements.
st_read:    call resettemps
            call varaddr
            push hl
            ld a,(numtype)
            push af
            call nextdata
            push de
            ld hl,s_blanks      ; (an INPUT cut short may have left it)
            ld (hl),0
            ld de,(dataptr)
            call datum
            jp c,err_syntaxdata
            ld (dataptr),de
            pop de
            pop af
            pop bc
            call storeval
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jp nz,nextstmt
            inc de
            jr st_read

; nextdata: dataptr := the next datum, moving on to the next DATA
; statement when this one is used up; OUT OF DATA after the last. Keeps
; DE, AF (s_type := A).
nextdata:   ld (s_type),a
            push de
            ld hl,(dataptr)
            ld a,h
            or l
            jr z,nextdata_find
            ex de,hl
            ld a,(de)
            cp ' '
            call z,skipsp
            ex de,hl
            cp ':'
            jr z,nextdata_scan
            cp 0Dh
            jr nz,nextdata_have
nextdata_scan:
            ; look on from HL for the next DATA token
            ld a,(hl)
            cp 0Dh
            jr z,nextdata_nextrec
            inc hl
            cp t_data
            jr z,nextdata_have
            cp '"'
            jr nz,nextdata_scan
nextdata_q: ld a,(hl)
            cp 0Dh
            jr z,nextdata_nextrec
            inc hl
            cp '"'
            jr nz,nextdata_q
            jr nextdata_scan
nextdata_nextrec:
            ld hl,(datarec)
            ld c,(hl)
            ld b,0
            add hl,bc
            jr nextdata_rec
nextdata_find:
            ld hl,(datarec)
            ld a,h
            or l
            jr nz,nextdata_rec
            ld hl,progbase
nextdata_rec:
            call isrecord
            jp c,err_nodata
            ld (datarec),hl
            inc hl
            inc hl
            inc hl
            jr nextdata_scan
nextdata_have:
            ld (dataptr),hl
            pop de
            ld a,(s_type)
            ret

; RESTORE [line]: READ starts again at the first DATA (of the line).
st_restore: ld hl,0
            ld (dataptr),hl
            ld (datarec),hl
            call atend
            jp z,nextstmt
            call getint
            call findexact
            ld (datarec),hl
            jp nextstmt

; GET v: the next key without waiting: a string variable gets it as a
; one-character string ("" when none waits), a number variable its code
; (0 when none).
st_get:     call skipsp
            cp '#'              ; GET #n: from a file, in the Open DOS
            ld hl,602Fh
            jp z,dosgo
            call varaddr
            push hl
            ld a,(numtype)
            push af
            cp 2
            jr z,st_get_str
            call inkey
            ld l,a
            ld h,0
            call intresult
            jr st_get_store
st_get_str: call fn_inkeys
st_get_store:
            pop af
            pop bc
            call storeval
            jp nextstmt

; LINE INPUT ["prompt";] v$: a whole line typed, commas and quotes
; included, into the string variable v$. Only the prompt is shown.
st_line:    inc de
            ld c,t_input
            call need
            ld a,(de)
            cp ' '
            call z,skipsp
            cp '#'              ; LINE INPUT #n: from a file, in the Open DOS
            ld hl,603Bh
            jp z,dosgo
            cp '"'
            jr nz,st_line_var
            call expr
            call putdesc
            ld c,';'
            call need
st_line_var:
            call varaddr
            ld a,(numtype)
            cp 2
            jp nz,err_type
            push hl
            call cacheclear     ; the line takes inbuf
            ld hl,inbuf
            call getline
            jp c,err_break
            push hl
            ld b,0
st_line_len:
            ld a,(hl)
            cp 0Dh
            jr z,st_line_got
            inc hl
            inc b
            jr st_line_len
st_line_got:
            pop hl
            ld a,b
            call newtemp
            pop bc
            ld a,2
            call storeval
            jp nextstmt
