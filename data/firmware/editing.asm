; Working on the program (in the extension): TRON and TROFF, AUTO,
; DELETE and EDIT, and the line editor that every typed line goes through.

; TRON: from now on every line shows its number in round brackets (the
; character set has no square ones) as it starts to run, on the screen;
; TROFF ends that. NEW and RUN keep it, a reset ends it. TRON is bit 1 of
; the break flag, which every statement tests already, so tracing costs
; the statements nothing while it is off.
st_tron:    ld hl,breakflag
            set 1,(hl)
            inc de
            jp nextstmt
st_troff:   ld hl,breakflag
            res 1,(hl)
            inc de
            jp nextstmt

; stmtflags: the break flag was not 0 at the statement at DE: the break
; key stops the program, TRON shows the line when the statement is the
; first of its line.
stmtflags:  rra
            jp c,breakhit
            ld hl,(curline)
            ld a,h
            or l
            jp z,execstmt_go
            inc hl
            inc hl
            inc hl
            or a
            sbc hl,de
            jp nz,execstmt_go
            ld hl,(curline)
            call traceline
            jp execstmt_go

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

; ---------------------------------------------------------------- AUTO, DELETE, EDIT
; AUTO [start][,step]: the prompt offers the line number start (10), then
; the number of each line entered plus step (10), with a blank after it
; in the input line. A line that holds no more than a number ends AUTO
; and changes nothing; so do BREAK, a line without a number (which runs
; as a command), an error and a next number past 32767.
st_auto:    inc de
            ld hl,10
            ld (autonext),hl
            ld (autostep),hl
            call skipsp
            call isdigit
            jr nc,st_auto_step
            call readuint
            call autocheck
            jp c,err_lineno
            ld (autonext),hl
st_auto_step:
            call skipsp
            cp ','
            jr nz,st_auto_on
            inc de
            call skipsp
            call isdigit
            jp nc,err_syntax
            call readuint
            call autocheck
            jp c,err_argument
            ld (autostep),hl
st_auto_on: call atend
            jp nz,err_syntax
            ld a,1
            ld (automode),a
            jp warm
; autocheck: carry unless readuint's HL is 1-32767.
autocheck:  ret c
            ld a,h
            or l
            jr z,autocheck_bad
            bit 7,h
            ret z               ; (OR cleared the carry)
autocheck_bad:
            scf
            ret

; promptline: the line typed at the prompt into linebuf (HL), as getline,
; starting from the line EDIT put there or AUTO's number.
promptline: ld a,(edpre)
            or a
            jr z,promptline_auto
            ld b,a
            xor a
            ld (edpre),a
            ld a,(edprecur)
            ld c,a
            jp edline
promptline_auto:
            ld a,(automode)
            or a
            jr nz,promptline_num
            ld bc,0
            jp edline
promptline_num:
            call tobuffer
            ld hl,(autonext)
            call prnum
            ld a,' '
            call putch
            xor a
            ld (outdev),a
            ld a,(le_len)
            ld b,a
            ld c,a
            ld hl,linebuf
            call edline
            jr c,promptline_off ; BREAK
            push hl
            ex de,hl
            call skipsp
            call isdigit
            jr nc,promptline_cmd
            call readuint
            jr c,promptline_cmd
            call skipsp
            cp 0Dh
            jr z,promptline_empty
            ld bc,(autostep)
            add hl,bc
            jr c,promptline_cmd
            bit 7,h
            jr nz,promptline_cmd
            ld (autonext),hl
            pop de
            ex de,hl
            or a
            ret
promptline_empty:
            pop hl
promptline_off:
            xor a
            ld (automode),a
            scf
            ret
promptline_cmd:                 ; the line goes on as typed, AUTO ends
            pop de
            ex de,hl
            xor a
            ld (automode),a
            ret

; tobuffer: output goes into linebuf from its start (outdev 2).
tobuffer:   ld hl,linebuf
            ld (le_buf),hl
            xor a
            ld (le_len),a
            ld (le_over),a
            ld a,2
            ld (outdev),a
            ret

; putch's third device: character C into the line at le_buf, le_len
; counting; a line end is left out, a character past maxline sets le_over.
putch_buffer:
            ld a,c
            cp 0Dh
            jp z,putch_done
            ld a,(le_len)
            cp maxline
            jr nc,putch_buffer_full
            inc a
            ld (le_len),a
            ld hl,(le_buf)
            ld (hl),c
            inc hl
            ld (le_buf),hl
            jp putch_done
putch_buffer_full:
            ld a,1
            ld (le_over),a
            jp putch_done

; EDIT n: line n comes back into the input line as LIST shows it, the
; cursor after its number, to be changed with the editing keys and
; entered again (under its own or another number). A line that lists
; longer than a typed line may be is LINE TOO LONG.
st_edit:    inc de
            call skipsp
            call isdigit
            jp nc,err_syntax
            call readuint
            jp c,err_lineno
            call atend
            jp nz,err_syntax
            ld b,h
            ld c,l
            call findline
            jp nz,err_noline
            push hl
            call tobuffer
            pop hl
            call listline
            xor a
            ld (outdev),a
            ld a,(le_over)
            or a
            jp nz,err_long
            ld a,(le_len)
            ld (edpre),a
            ld hl,linebuf
            ld b,0
st_edit_num:
            ld a,(hl)
            inc hl
            inc b
            cp ' '
            jr nz,st_edit_num
            ld a,b
            ld (edprecur),a
            jp warm

; DELETE n, DELETE a-b, DELETE -b, DELETE a-: the lines go, the rest of
; the program and the variables stay (the variables and arrays move down
; with the program's end); a DEF FN whose line went is undefined. A range
; without a line in it is LINE NOT FOUND. The program stops.
st_delete:  inc de
            call skipsp
            cp '-'
            jr z,st_delete_range
            call isdigit
            jp nc,err_syntax
st_delete_range:
            call listrange
            call atend
            jp nz,err_syntax
            ld bc,(s_lo)
            call findline
            ld (s_lo),hl        ; the first record going
            ld bc,(s_hi)
            inc bc
            call findfrom
            ld (s_hi),hl        ; the first record staying
            ld de,(s_lo)
            or a
            sbc hl,de
            jp z,err_noline
            push hl             ; the bytes going
            ld hl,(arrend)
            ld de,(s_hi)
            or a
            sbc hl,de
            ld b,h
            ld c,l              ; from there to the end of the arrays
            ex de,hl
            ld de,(s_lo)
            ldir
            pop bc
            xor a               ; BC := minus the bytes gone
            sub c
            ld c,a
            sbc a,a
            sub b
            ld b,a
            ld hl,(arrbase)     ; strings owned by any variable follow it
            push hl
            ld hl,(varbase)
            ld (arrbase),hl
            call movedarrays
            pop hl
            add hl,bc
            ld (arrbase),hl
            ld hl,(arrend)
            add hl,bc
            ld (arrend),hl
            ld hl,(varbase)
            add hl,bc
            ld (varbase),hl
; the functions: a DEF FN keeps the place of its text in the program
st_delete_fn:
            ld de,(arrbase)
            or a
            sbc hl,de
            jr nc,st_delete_done
            add hl,de
            ld a,(hl)
            and 0E0h
            jr nz,st_delete_next
            or (hl)
            jr z,st_delete_next ; a function already gone
            push hl
            inc hl
            inc hl
            ld e,(hl)
            inc hl
            ld d,(hl)           ; DE = where its text was
            push hl
            ld hl,(s_hi)
            ex de,hl
            or a
            sbc hl,de
            jr c,st_delete_fn_gone_or_before
            add hl,de           ; after the lines gone: it moved down
            add hl,bc
            ex de,hl
            pop hl
            ld (hl),d
            dec hl
            ld (hl),e
            pop hl
            jr st_delete_next
st_delete_fn_gone_or_before:
            add hl,de
            ld de,(s_lo)
            or a
            sbc hl,de
            pop hl
            pop hl
            jr c,st_delete_next ; before them: it stays
            ld (hl),0           ; on a line gone: no name finds it now
st_delete_next:
            ld de,7
            add hl,de
            jr st_delete_fn
st_delete_done:
            call progend
            call setend
            call progmoved
            jp warm

; ---------------------------------------------------------------- the line editor
; edline: the line in the buffer at HL, B characters long already (shown
; by the editor), edited with the cursor starting at C; then as getline
; (HL kept, carry when BREAK abandoned the line). The keys: a character
; goes in at the cursor (the rest moves right); <- (08h, the back key)
; erases the character before the cursor (the rest moves left); -> (09h)
; or Ctrl+F moves right, Ctrl+B left, Ctrl+A to the start, Ctrl+E to the
; end; DEL (7Fh) or Ctrl+D erases the character at the cursor; RETURN
; takes the whole line wherever the cursor is. Keeps DE.
edline:     push de
            ld (le_buf),hl
            ld a,b
            ld (le_len),a
            ld a,c
            ld (le_cur),a
            xor a
            ld (le_over),a
            ld a,(currow)
            ld (le_row),a
            ld a,(curcol)
            ld (le_col),a
            ld a,b
            or a
            ld a,0
            call nz,le_redraw   ; a line given: show it all
le_key:     call getkey
            cp 7Fh
            jr z,le_del
            cp 20h
            jp nc,le_char
            ld hl,le_keys
le_find:    ld c,(hl)
            inc c
            dec c
            jr z,le_key         ; other control keys do nothing
            inc hl
            ld e,(hl)
            inc hl
            ld d,(hl)
            inc hl
            cp c
            jr nz,le_find
            ex de,hl
            jp (hl)
le_keys:    db 0Dh
            dw le_enter
            db 03h
            dw le_cancel
            db 08h
            dw le_back
            db 09h
            dw le_right
            db 06h
            dw le_right
            db 02h
            dw le_left
            db 01h
            dw le_home
            db 05h
            dw le_end
            db 04h
            dw le_del
            db 0

le_right:   ld a,(le_len)
            ld b,a
            ld a,(le_cur)
            cp b
            jr nc,le_key
            inc a
le_move:    ld (le_cur),a
            call le_place
            jr le_key
le_left:    ld a,(le_cur)
            or a
            jr z,le_key
            dec a
            jr le_move
le_home:    xor a
            jr le_move
le_end:     ld a,(le_len)
            jr le_move

; <-: the character before the cursor goes; DEL: the one at the cursor.
le_back:    ld a,(le_cur)
            or a
            jr z,le_key
            dec a
            ld (le_cur),a
            jr le_erase
le_del:     ld a,(le_len)
            ld b,a
            ld a,(le_cur)
            cp b
            jr nc,le_key
le_erase:   call le_at          ; HL = the character going
            ld b,a
            ld a,(le_len)
            dec a
            ld (le_len),a
            sub b               ; characters after it
            jr z,le_erased
            ld c,a
            ld b,0
            ld d,h
            ld e,l
            inc hl
            ldir
le_erased:  ld a,(le_cur)
            call le_redraw
            jp le_key

; a character: in at the cursor, unless the line is full.
le_char:    ld c,a
            ld a,(le_len)
            cp maxline
            jr c,le_insert
            ld a,1
            ld (le_over),a
            jp le_key
le_insert:  ld b,a              ; B = length
            ld a,(le_cur)
            cp b
            jr z,le_append
            push bc
            ld hl,(le_buf)      ; move the rest one place right, from its end
            ld e,b
            ld d,0
            add hl,de
            ld d,h
            ld e,l
            dec hl
            sub b
            neg
            ld c,a              ; length - cursor
            ld b,0
            lddr
            pop bc
            ld a,(le_cur)
            call le_at
            ld (hl),c
            ld hl,le_len
            inc (hl)
            call le_redraw
            ld hl,le_cur
            inc (hl)
            call le_place
            jp le_key
le_append:  call le_at          ; at the end only the new character shows
            ld (hl),c
            inc a
            ld (le_cur),a
            ld (le_len),a
            push af
            ld a,c
            call putch
            pop af
            call le_rowfix
            jp le_key

; RETURN and BREAK: the cursor goes past the line and a new line starts.
le_enter:   call le_finish
            ld (hl),0Dh
            ld a,(le_over)
            or a
            jp nz,err_long
            ld hl,(le_buf)
            pop de
            ret
le_cancel:  call le_finish
            ld hl,(le_buf)
            pop de
            scf
            ret
le_finish:  ld a,(le_len)
            ld (le_cur),a
            call le_place
            call crlf
            ld a,(le_len)
; le_at: HL := the place of character A of the line. Keeps A, BC, DE.
le_at:      push de
            ld hl,(le_buf)
            ld e,a
            ld d,0
            add hl,de
            pop de
            ret

; le_redraw: the line from character A to its end shown again, and a
; blank after it (where a character went); then the cursor to le_cur.
le_redraw:  push af
            call le_placeat
            pop af
            call le_at
            ld b,a
            ld a,(le_len)
            sub b
            jr z,le_redraw_blank
            ld b,a
le_redraw_char:
            ld a,(hl)
            call putch
            inc hl
            djnz le_redraw_char
le_redraw_blank:
            ld a,' '
            call putch
            ld a,(le_len)
            inc a
            call le_rowfix
; le_place: the screen's cursor to character le_cur of the line;
; le_placeat: to character A. A place at column 0 below the line's first
; row is given as column 40 of the row above, a wrap pending, as putch
; leaves it (so the cursor never points below the screen).
le_place:   ld a,(le_cur)
le_placeat: call le_offset
            ld a,(le_row)
            ld b,a
            ld de,scrcols
le_place_div:
            or a
            sbc hl,de
            jr c,le_place_row
            inc b
            jr le_place_div
le_place_row:
            add hl,de
            ld a,l
            or a
            jr nz,le_place_set
            ld a,(le_row)
            cp b
            ld a,0
            jr z,le_place_set
            dec b
            ld a,scrcols
le_place_set:
            ld (curcol),a
            ld a,b
            ld (currow),a
            ret

; le_rowfix: character A-1 of the line was just written (A at least 1):
; the row of the line's start follows any scrolling that caused.
le_rowfix:  dec a
            call le_offset
            ld b,0
            ld de,scrcols
le_rowfix_div:
            or a
            sbc hl,de
            jr c,le_rowfix_set
            inc b
            jr le_rowfix_div
le_rowfix_set:
            ld a,(currow)
            sub b
            ld (le_row),a
            ret

; le_offset: HL := the line's first column plus A.
le_offset:  ld l,a
            ld h,0
            ld a,(le_col)
            add a,l
            ld l,a
            ret nc
            inc h
            ret
