; The program area: line records from 8000h. A record is its length byte
; (counting itself), the line number (low byte, then the high byte with
; bit 7 set, so numbers are 1-32767), the line text and 0Dh. Keywords in
; the text are stored as one byte each, 80h and up (the table below); text
; in quotes, after REM and after DATA stays as typed. The byte 01h follows
; the last record; the words at FE1Eh and FE20h point just past it.
; Programs loaded from tape are walked the same way, so the records alone
; decide where the program ends. No record holds the pair 0Dh 00h before
; its end: bit 7 of the number keeps line 13 from it, and a record of
; length 13 whose number's low byte is 0 is given a trailing blank.


; The keywords in token order, from 80h. The tokeniser takes the first
; that matches, so INPUT comes before INP. New keywords go at the end, so
; the tokens of stored programs keep their meaning.
keywords:   db "EN", 'D'+80h
            db "FO", 'R'+80h
            db "NEX", 'T'+80h
            db "DAT", 'A'+80h
            db "INPU", 'T'+80h
            db "DI", 'M'+80h
            db "REA", 'D'+80h
            db "LE", 'T'+80h
            db "GOT", 'O'+80h
            db "RU", 'N'+80h
            db "I", 'F'+80h
            db "RESTOR", 'E'+80h
            db "GOSU", 'B'+80h
            db "RETUR", 'N'+80h
            db "RE", 'M'+80h
            db "STO", 'P'+80h
            db "O", 'N'+80h
            db "PRIN", 'T'+80h
            db "LIS", 'T'+80h
            db "LLIS", 'T'+80h
            db "LPRIN", 'T'+80h
            db "CLEA", 'R'+80h
            db "NE", 'W'+80h
            db "CL", 'S'+80h
            db "POK", 'E'+80h
            db "OU", 'T'+80h
            db "SOUN", 'D'+80h
            db "SAV", 'E'+80h
            db "LOA", 'D'+80h
            db "DE", 'F'+80h
            db "CON", 'T'+80h
            db "RANDOMIZ", 'E'+80h
            db "GE", 'T'+80h
            db "RENU", 'M'+80h
            db "ELS", 'E'+80h
            db "T", 'O'+80h
            db "STE", 'P'+80h
            db "THE", 'N'+80h
            db "F", 'N'+80h
            db "TAB", '('+80h
            db "CU", 'R'+80h
            db "AN", 'D'+80h
            db "O", 'R'+80h
            db "NO", 'T'+80h
            db "MO", 'D'+80h
            db "AB", 'S'+80h
            db "SG", 'N'+80h
            db "IN", 'T'+80h
            db "SQ", 'R'+80h
            db "SI", 'N'+80h
            db "CO", 'S'+80h
            db "TA", 'N'+80h
            db "AT", 'N'+80h
            db "EX", 'P'+80h
            db "LO", 'G'+80h
            db "RN", 'D'+80h
            db "P", 'I'+80h
            db "FR", 'E'+80h
            db "PEE", 'K'+80h
            db "IN", 'P'+80h
            db "PO", 'S'+80h
            db "LE", 'N'+80h
            db "AS", 'C'+80h
            db "VA", 'L'+80h
            db "CHR", '$'+80h
            db "STR", '$'+80h
            db "LEFT", '$'+80h
            db "RIGHT", '$'+80h
            db "MID", '$'+80h
            db "INST", 'R'+80h
            db "SPACE", '$'+80h
            db "INKEY", '$'+80h
            db "STRING", '$'+80h
            db "ERRO", 'R'+80h  ; before ERR, which it starts with
            db "RESUM", 'E'+80h
            db "ER", 'R'+80h
            db "ER", 'L'+80h
            db "LIN", 'E'+80h   ; statements again
            db "WHIL", 'E'+80h
            db "WEN", 'D'+80h
            db "FI", 'X'+80h
            db "HEX", '$'+80h
            db "SWA", 'P'+80h
            db "CAL", 'L'+80h
            db "US", 'R'+80h
            db "TIM", 'E'+80h
            db "KIL", 'L'+80h   ; disk statements, in the Open DOS
            db "NAM", 'E'+80h
            db "DI", 'R'+80h
            db "SETDO", 'T'+80h ; dot graphics
            db "CLRDO", 'T'+80h
            db "DO", 'T'+80h    ; a function
            db "TRO", 'N'+80h   ; statements again
            db "TROF", 'F'+80h
            db "AUT", 'O'+80h   ; the program's lines
            db "DELET", 'E'+80h
            db "EDI", 'T'+80h
            db "USIN", 'G'+80h  ; PRINT USING
            db "PREPAR", 'E'+80h ; data files, in the Open DOS
            db "OPE", 'N'+80h
            db "CLOS", 'E'+80h
            db "EO", 'F'+80h    ; a function
            db 0

t_end:      equ 080h
t_for:      equ 081h
t_next:     equ 082h
t_data:     equ 083h
t_input:    equ 084h
t_dim:      equ 085h
t_read:     equ 086h
t_let:      equ 087h
t_goto:     equ 088h
t_run:      equ 089h
t_if:       equ 08Ah
t_restore:  equ 08Bh
t_gosub:    equ 08Ch
t_return:   equ 08Dh
t_rem:      equ 08Eh
t_stop:     equ 08Fh
t_on:       equ 090h
t_print:    equ 091h
t_list:     equ 092h
t_llist:    equ 093h
t_lprint:   equ 094h
t_clear:    equ 095h
t_new:      equ 096h
t_cls:      equ 097h
t_poke:     equ 098h
t_out:      equ 099h
t_sound:    equ 09Ah
t_save:     equ 09Bh
t_load:     equ 09Ch
t_def:      equ 09Dh
t_cont:     equ 09Eh
t_randomize: equ 09Fh
t_get:      equ 0A0h
t_renum:    equ 0A1h
t_else:     equ 0A2h
t_to:       equ 0A3h
t_step:     equ 0A4h
t_then:     equ 0A5h
t_fn:       equ 0A6h
t_tab:      equ 0A7h
t_cur:      equ 0A8h
t_and:      equ 0A9h
t_or:       equ 0AAh
t_not:      equ 0ABh
t_mod:      equ 0ACh
t_abs:      equ 0ADh            ; functions from here on
t_sgn:      equ 0AEh
t_int:      equ 0AFh
t_sqr:      equ 0B0h
t_sin:      equ 0B1h
t_cos:      equ 0B2h
t_tan:      equ 0B3h
t_atn:      equ 0B4h
t_exp:      equ 0B5h
t_log:      equ 0B6h
t_rnd:      equ 0B7h
t_pi:       equ 0B8h
t_fre:      equ 0B9h
t_peek:     equ 0BAh
t_inp:      equ 0BBh
t_pos:      equ 0BCh
t_len:      equ 0BDh
t_asc:      equ 0BEh
t_val:      equ 0BFh
t_chrs:     equ 0C0h
t_strs:     equ 0C1h
t_lefts:    equ 0C2h
t_rights:   equ 0C3h
t_mids:     equ 0C4h
t_instr:    equ 0C5h
t_spaces:   equ 0C6h
t_inkeys:   equ 0C7h
t_strings:  equ 0C8h
t_error:    equ 0C9h            ; ON ERROR GOTO
t_resume:   equ 0CAh
t_err:      equ 0CBh            ; functions again
t_erl:      equ 0CCh
t_last:     equ 0CCh            ; the last function
t_line:     equ 0CDh            ; LINE INPUT
t_while:    equ 0CEh
t_wend:     equ 0CFh
t_fix:      equ 0D0h            ; functions again
t_hexs:     equ 0D1h
t_swap:     equ 0D2h
t_call:     equ 0D3h
t_usr:      equ 0D4h            ; a function
t_time:     equ 0D5h            ; a function
t_kill:     equ 0D6h            ; disk statements
t_name:     equ 0D7h
t_dir:      equ 0D8h
t_setdot:   equ 0D9h            ; dot graphics
t_clrdot:   equ 0DAh
t_dot:      equ 0DBh            ; a function
t_tron:     equ 0DCh            ; statements again
t_troff:    equ 0DDh
t_auto:     equ 0DEh            ; the program's lines
t_delete:   equ 0DFh
t_edit:     equ 0E0h
t_using:    equ 0E1h            ; PRINT USING
t_prepare:  equ 0E2h            ; data files
t_open:     equ 0E3h
t_close:    equ 0E4h
t_eof:      equ 0E5h            ; a function
t_top:      equ t_eof           ; the last keyword

; tokenise: turn the keywords of the line at HL (ended by 0Dh, capitals
; made) into tokens, in place; "?" becomes PRINT. Keeps HL.
tokenise:   push hl
            ld d,h
            ld e,l              ; DE writes, HL reads; DE never passes HL
tok_loop:   ld a,(hl)
            cp 0Dh
            jp z,tok_end
            cp '"'
            jr z,tok_quote
            cp '?'
            jr z,tok_question
            cp ':'
            jp z,tok_colon
            cp 'A'
            jr c,tok_copy
            cp 'Z'+1
            jr c,tok_word
            cp 'a'              ; a small letter becomes a capital
            jr c,tok_copy
            cp 'z'+1
            jr nc,tok_high
            sub 20h
            ld (hl),a
            jr tok_word
tok_high:   cp t_rem            ; a line tokenised before: REM and DATA
            jr z,tok_token      ; text stays as it is
            cp t_data
            jr z,tok_token
tok_copy:   ld (de),a
            inc hl
            inc de
            jr tok_loop
tok_token:  ld (de),a
            inc hl
            inc de
            jr tok_kind
tok_question:
            ld a,t_print
            jr tok_copy
tok_quote:  ld (de),a
            inc hl
            inc de
tok_quote_loop:
            ld a,(hl)
            cp 0Dh
            jp z,tok_end
            ld (de),a
            inc hl
            inc de
            cp '"'
            jr nz,tok_quote_loop
            jr tok_loop
tok_word:   ld bc,keywords
            ld a,80h
            ld (tokval),a
tok_try:    ld a,(bc)
            or a
            jr z,tok_noword
            push hl
tok_cmp:    ld a,(bc)
            and 7Fh
            cp (hl)
            jr z,tok_hit
            cp 'A'              ; the keywords' letters match small ones too
            jr c,tok_miss
            or 20h
            cp (hl)
            jr nz,tok_miss
tok_hit:    ld a,(bc)
            inc bc
            inc hl
            rla
            jr nc,tok_cmp
            pop af              ; matched: HL is past the word
            ld a,(tokval)
            ld (de),a
            inc de
tok_kind:   cp t_rem
            jr z,tok_rest
            cp t_data
            jr z,tok_data
            jp tok_loop
tok_miss:   pop hl
tok_skipw:  ld a,(bc)
            inc bc
            rla
            jr nc,tok_skipw
            ld a,(tokval)
            inc a
            ld (tokval),a
            jr tok_try
tok_noword: ld a,(hl)
            jr tok_copy
tok_rest:   ld a,(hl)           ; REM: the rest of the line as it is
            cp 0Dh
            jr z,tok_end
            ld (de),a
            inc hl
            inc de
            jr tok_rest
tok_data:   ld c,0              ; DATA: as it is, up to a ":" outside quotes
tok_data_loop:
            ld a,(hl)
            cp 0Dh
            jr z,tok_end
            cp '"'
            jr nz,tok_data_notq
            ld b,a
            ld a,c
            xor 1
            ld c,a
            ld a,b
tok_data_notq:
            cp ':'
            jr nz,tok_data_copy
            bit 0,c
            jp z,tok_copy       ; the statement ends (no device name)
tok_data_copy:
            ld (de),a
            inc hl
            inc de
            jr tok_data_loop
; A device name (three letters or digits, as CAS or DR0) and its colon:
; the file name that follows is copied in capitals, never tokenised, up
; to a ",", a ":" or the end of the line. No variable has a three-letter
; name, so a colon after three such characters always ends a device name.
tok_colon:  ld (de),a
            inc hl
            inc de
            push hl
            ld h,d
            ld l,e
            dec hl              ; the colon
            ld b,3
tok_dev:    dec hl
            ld a,(hl)
            call tok_isalnum
            jr nc,tok_nodev
            djnz tok_dev
            ld a,(hl)           ; a name starts with a letter (GOTO 100:)
            call isletter
            jr nc,tok_nodev
            dec hl
            ld a,(hl)
            call tok_isalnum
            jr c,tok_nodev
            pop hl
tok_name:   ld a,(hl)
            cp 0Dh
            jr z,tok_end
            cp ':'
            jp z,tok_loop
            cp ','
            jp z,tok_loop
            cp 'a'
            jr c,tok_name_put
            cp 'z'+1
            jr nc,tok_name_put
            sub 20h
tok_name_put:
            ld (de),a
            inc hl
            inc de
            jr tok_name
tok_nodev:  pop hl
            jp tok_loop
; tok_isalnum: carry when A is A-Z or 0-9.
tok_isalnum:
            call isletter
            ret c
            jp isdigit

tok_end:    ld a,0Dh
            ld (de),a
            pop hl
            ret

; putkeyword: print the keyword of token A (80h and up); a byte that is
; no token of ours prints as it is.
putkeyword: cp t_top+1
            jp nc,putch
            push hl
            push bc
            sub 80h
            ld b,a
            ld hl,keywords
putkw_find: ld a,b
            or a
            jr z,putkw_show
putkw_skip: ld a,(hl)
            inc hl
            rla
            jr nc,putkw_skip
            dec b
            jr putkw_find
putkw_show: ld a,(hl)
            and 7Fh
            call putch
            ld a,(hl)
            inc hl
            rla
            jr nc,putkw_show
            pop bc
            pop hl
            ret

; listline: print the record at HL as it was typed. Keeps HL.
listline:   push hl
            call recnum
            call prnum
            ld a,' '
            call putch
            pop hl
            push hl
            inc hl
            inc hl
            inc hl
            ld b,0              ; bytes shown: a foreign record may lack its 0Dh
listline_text:
            ld a,(hl)
            cp 0Dh
            jr z,listline_eol
            or a
            jp m,listline_kw
            call putch
            jr listline_next
listline_kw:
            call putkeyword
listline_next:
            inc hl
            djnz listline_text
listline_eol:
            call crlf
            pop hl
            ret

; findline: HL := the first record whose number is at least BC, or the end
; byte. Z when the record holds exactly BC. Keeps BC, DE.
findline:   ld hl,progbase
; findfrom: the same, starting at the record HL.
findfrom:   push de
findline_loop:
            ld a,h
            cp memtop/256
            jr nc,findline_end
            ld a,(hl)
            cp 2
            jr c,findline_end
            inc hl
            inc hl
            ld a,(hl)
            and 7Fh
            cp b
            jr c,findline_next2
            jr nz,findline_found2
            dec hl
            ld a,(hl)
            dec hl
            cp c
            jr c,findline_next
            pop de
            ret                 ; Z when equal, NC and NZ when greater
findline_found2:
            dec hl
            dec hl
            pop de
            or 1
            ret
findline_next2:
            dec hl
            dec hl
findline_next:
            ld a,(hl)
            add a,l
            ld l,a
            jr nc,findline_loop
            inc h
            jr findline_loop
findline_end:
            pop de
            or 1
            ret

; isrecord: carry when HL is not at a line record (end byte or beyond).
isrecord:   ld a,h
            cp memtop/256
            ccf
            ret c
            ld a,(hl)
            cp 2
            ret

; recnum: HL := the line number of the record at HL.
recnum:     inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            res 7,h
            ret

; progend: HL := address of the end byte. Keeps BC, DE.
progend:    push bc
            ld bc,0FFFFh
            call findline
            pop bc
            ret

; setend: the end byte is at HL; write it and the two end words.
setend:     ld (hl),01h
            inc hl
            ld (progend1),hl
            inc hl
            ld (progend2),hl
            ret

; newprog: an empty program.
newprog:    ld hl,progbase
            jr setend

; bytesfree: HL := bytes left between the variables and the strings.
bytesfree:  ld hl,(strbot)
            ld de,(arrend)
            or a
            sbc hl,de
            ret nc
            ld hl,0
            ret

; editline: a numbered line was typed; DE is at its first digit. Stores,
; replaces or (with no text) deletes the line, then back to the prompt.
; The variables are cleared, as the program has moved under them.
editline:   call readuint
            jp c,err_lineno
            ld a,h
            or l
            jp z,err_lineno
            bit 7,h
            jp nz,err_lineno
            ld b,h
            ld c,l
            call skipsp
            ld h,d
            ld l,e
            push bc
            ld b,0
editline_count:
            ld a,(hl)
            cp 0Dh
            jr z,editline_counted
            inc hl
            inc b
            jr editline_count
editline_counted:
            ld a,b
            pop bc
            push af
            call clearvars
            call findline
            call z,delrec
            pop af
            or a
            call nz,insrec
            call clearvars
            jp warm

; delrec: remove the record at HL. Keeps HL, BC, DE.
delrec:     push bc
            push de
            push hl
            call progend
            ex de,hl            ; DE = end byte
            pop hl
            push hl
            ld c,(hl)
            ld b,0
            add hl,bc           ; HL = next record
            ex de,hl
            or a
            sbc hl,de
            inc hl              ; bytes from the next record to the end byte
            ld b,h
            ld c,l
            ex de,hl
            pop de
            push de
            ldir
            dec de
            ex de,hl
            call setend
            pop hl
            pop de
            pop bc
            ret

; insrec: insert a record at HL for line BC with the A characters at DE
; (followed there by 0Dh).
insrec:     add a,4
            cp 13               ; length 13 and number low byte 0 would
            jr nz,insrec_len    ; make the pair 0Dh 00h: add a blank
            inc c
            dec c
            jr nz,insrec_len
            push hl
            ld hl,9
            add hl,de
            ld (hl),' '
            inc hl
            ld (hl),0Dh
            pop hl
            inc a
insrec_len: ld (edlen),a
            ld (edpos),hl
            ld (ednum),bc
            ld (edtext),de
            call progend
            ld (edend),hl
            ld a,(edlen)
            ld c,a
            ld b,0
            add hl,bc           ; new place of the end byte
            push hl
            ld de,memtop-2
            or a
            sbc hl,de
            pop de
            jp nc,err_memory
            push de
            ld hl,(edend)
            ld bc,(edpos)
            or a
            sbc hl,bc
            inc hl
            ld b,h
            ld c,l
            ld hl,(edend)
            lddr
            pop hl
            call setend
            ld hl,(edpos)
            ld a,(edlen)
            ld (hl),a
            inc hl
            ld bc,(ednum)
            ld (hl),c
            inc hl
            ld a,b
            or 80h
            ld (hl),a
            inc hl
            ex de,hl
            ld a,(edlen)
            sub 4
            ld c,a
            ld b,0
            ld hl,(edtext)
            ldir
            ld a,0Dh
            ld (de),a
            ret

; tokprog: tokenise the lines a loader brought as plain text: those with
; bit 7 of the number set and no byte of 80h or above in the text (the
; programs of the first integer BASIC). Other records are left alone.
tokprog:    ld hl,progbase
tokprog_rec:
            call isrecord
            ret c
            push hl
            inc hl
            inc hl
            bit 7,(hl)          ; only records of ours (number bit 7 set)
            inc hl
            jr z,tokprog_foreign
            ld de,linebuf
tokprog_copy:
            ld a,(hl)
            ld (de),a
            inc hl
            inc de
            cp 0Dh
            jr z,tokprog_copied
            or a
            jp p,tokprog_copy
tokprog_foreign:
            pop hl              ; a tokenised or foreign line: leave it
            jr tokprog_next
tokprog_copied:
            ld hl,linebuf
            call tokenise
            pop hl              ; the record
            push hl
            ld c,(hl)           ; count the tokenised text
            ld de,linebuf
            ld b,0
tokprog_count:
            ld a,(de)
            cp 0Dh
            jr z,tokprog_counted
            inc de
            inc b
            jr tokprog_count
tokprog_counted:
            ld a,b
            add a,4
            cp c
            jr z,tokprog_same   ; nothing became a token
            push bc
            call recnum
            ld b,h
            ld c,l
            pop af              ; A = text length
            pop hl
            push hl
            push af
            call delrec
            pop af
            ld de,linebuf
            call insrec
tokprog_same:
            pop hl
tokprog_next:
            ld c,(hl)
            ld b,0
            add hl,bc
            jr tokprog_rec

; progvalid: Z when the program area holds a chain of records ending in
; the end byte where FE1Eh says (a warm start keeps such a program).
progvalid:  call progend
            ld a,h
            cp memtop/256
            jr nc,progvalid_no
            ld a,(hl)
            cp 01h
            ret nz
            inc hl
            ld de,(progend1)
            or a
            sbc hl,de
            ret
progvalid_no:
            or 1
            ret
