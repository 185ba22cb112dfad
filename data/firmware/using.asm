; PRINT USING f$; items (and LPRINT USING): the items shown through the
; fields of the format f$, in the extension.
;
; Fields of a number: '#' a digit, '.' the point, ',' before the point
; groups the digits by three, '+' before or after the field shows the
; sign there, '-' after it shows a minus there (a blank for a positive
; number), "$$" before it puts a '$' just before the digits, "**" fills
; the blanks before the number with '*' ("**$" does both), "^^^^" after
; it writes the number with an exponent (E+nn). Without a '+' or '-' a
; minus takes one of the places before the point. Fields of a string:
; '!' its first character, '&' all of it, '\' n blanks '\' its first n+2
; characters, blanks added. '_' shows the next character as it is; all
; other characters are shown as they are. When the items outnumber the
; fields the format starts again; a format with no field at all is BAD
; ARGUMENT, a string for a number field (or the other way) TYPE MISMATCH.
;
; A number is taken at the nine digits PRINT shows and then rounded to
; its field, halves away from 0. One that needs more places than its field
; has is shown whole, after a '%': PRINT USING "##.#";123.45 shows %123.5.
;
; Everything goes out through putch, so the field lands on whatever device
; outdev names, as PRINT's items do. The format is copied onto the stack:
; the items' expressions may move strings about.

st_using:   inc de              ; past USING
            call expr
            call needstr
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ';'
            jr z,st_using_copy
            cp ','
            jp nz,err_syntax
st_using_copy:
            inc de
            ld (u_e),de         ; the text, while the stack changes
            ld (u_sp),sp
            ld b,(hl)           ; B = the format's length
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ex de,hl            ; DE = its characters
            ld hl,-1            ; room for them and the 0 after them
            add hl,sp
            ld a,l
            sub b
            ld l,a
            jr nc,st_using_room
            dec h
st_using_room:
            ld sp,hl
            ld (u_fmt),hl
            ld (u_ptr),hl
            ld a,b
            or a
            jr z,st_using_copied
st_using_char:
            ld a,(de)
            ld (hl),a
            inc de
            inc hl
            djnz st_using_char
st_using_copied:
            ld (hl),0
            call resettemps
            ld de,(u_e)
            xor a
            ld (u_seen),a
st_using_item:
            call u_field        ; the text up to the next field
            jr nc,st_using_eval
            ld a,(u_seen)       ; the end of the format: from its start
            or a                ; again, if it has a field at all
            jp z,err_argument
            xor a
            ld (u_seen),a
            ld hl,(u_fmt)
            ld (u_ptr),hl
            jr st_using_item
st_using_eval:
            call expr
            push hl             ; an item must be followed by a separator
            ld a,(de)           ; or the end before anything is shown
            cp ' '
            call z,skipsp
            cp ';'
            jr z,st_using_show
            cp ','
            jr z,st_using_show
            call atend
            jp nz,err_syntax
st_using_show:
            pop hl
            ld a,(u_kind)
            or a
            jr nz,st_using_string
            call neednum
            call u_number
            jr st_using_sep
st_using_string:
            call needstr
            call u_string
st_using_sep:
            call resettemps
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ';'
            jr z,st_using_more
            cp ','
            jr z,st_using_more
            call u_field        ; the text after the last field, then
            call crlf           ; the line ends
            jr st_using_done
st_using_more:
            inc de
            call atend
            jr nz,st_using_item
            call u_field        ; a separator at the end keeps the line open
st_using_done:
            ld sp,(u_sp)
            jp screenout

; u_field: show the format's text from u_ptr up to the next field, and
; read that field; carry when the format ended first. Keeps DE.
u_field:    ld hl,(u_ptr)
u_field_text:
            ld a,(hl)
            or a
            jr z,u_field_end
            cp '!'
            jr z,u_field_one
            cp '&'
            jr z,u_field_all
            cp 5Ch              ; '\'
            jr z,u_field_slash
            cp '_'
            jr z,u_field_escape
            call u_isnum
            jr z,u_field_num
u_field_put:
            call putch
            inc hl
            jr u_field_text
u_field_end:
            ld (u_ptr),hl
            scf
            ret
u_field_escape:
            inc hl
            ld a,(hl)
            or a
            jr nz,u_field_put
            ld a,'_'            ; a '_' at the very end shows itself
            call putch
            jr u_field_end
u_field_slash:
            push hl
            ld c,2
u_field_blank:
            inc hl
            ld a,(hl)
            cp ' '
            jr nz,u_field_closed
            inc c
            jr u_field_blank
u_field_closed:
            cp 5Ch
            jr z,u_field_pair
            pop hl              ; a lone '\' is text
            ld a,5Ch
            jr u_field_put
u_field_pair:
            pop af
            ld a,c
            jr u_field_str
u_field_one:
            ld a,1
            jr u_field_str
u_field_all:
            xor a
u_field_str:
            ld (u_width),a
            inc hl
            ld a,1
            jr u_field_found
u_field_num:
            call u_parsenum
            xor a
u_field_found:
            ld (u_kind),a
            ld (u_ptr),hl
            ld a,1
            ld (u_seen),a
            or a
            ret

; u_isnum: Z when a number field starts at HL. Keeps A, HL.
u_isnum:    ld a,(hl)
            cp '+'
            jr nz,u_isnum_at
            inc hl
            call u_isnum_at
            dec hl
            ld a,'+'
            ret
u_isnum_at: ld a,(hl)
            cp '#'
            ret z
            push hl
            inc hl
            cp '.'
            jr z,u_isnum_point
            cp '$'
            jr z,u_isnum_pair
            cp '*'
            jr nz,u_isnum_not
u_isnum_pair:
            cp (hl)             ; "$$" or "**"
            pop hl
            ret
u_isnum_point:
            ld a,(hl)           ; ".#"
            cp '#'
            ld a,'.'
u_isnum_not:
            pop hl
            ret

; u_parsenum: read the number field at HL (u_isnum said there is one);
; HL moves past it.
u_parsenum: push bc
            push hl
            xor a
            ld b,9
            ld hl,u_lead
u_pn_clear: ld (hl),a
            inc hl
            djnz u_pn_clear
            pop hl
            ld a,(hl)
            cp '+'
            jr nz,u_pn_stars
            ld (u_lead),a
            inc hl
            ld a,(hl)
u_pn_stars: cp '*'
            jr nz,u_pn_dollars
            ld (u_star),a
            inc hl
            inc hl
            ld a,2
            ld (u_width),a
            ld a,(hl)
            cp '$'
            jr nz,u_pn_digits
            ld (u_dollar),a
            inc hl
            ld a,3
            ld (u_width),a
            jr u_pn_digits
u_pn_dollars:
            cp '$'
            jr nz,u_pn_digits
            ld (u_dollar),a
            inc hl
            inc hl
            ld a,2
            ld (u_width),a
u_pn_digits:
            ld a,(hl)
            cp '#'
            jr z,u_pn_digit
            cp ','
            jr nz,u_pn_point
            inc hl              ; a comma belongs to the field when more
            ld a,(hl)           ; of it follows
            dec hl
            cp '#'
            jr z,u_pn_comma
            cp ','
            jr z,u_pn_comma
            cp '.'
            jr nz,u_pn_caret
u_pn_comma: ld (u_comma),a
u_pn_digit: inc hl
            ld a,(u_width)
            inc a
            ld (u_width),a
            jr u_pn_digits
u_pn_point: cp '.'
            jr nz,u_pn_caret
            ld (u_point),a
u_pn_decimal:
            inc hl
            ld a,(hl)
            cp '#'
            jr nz,u_pn_caret
            ld a,(u_dec)
            inc a
            ld (u_dec),a
            jr u_pn_decimal
u_pn_caret: push hl
            ld b,4
u_pn_caret4:
            ld a,(hl)
            cp '^'
            jr nz,u_pn_nocaret
            inc hl
            djnz u_pn_caret4
            ld (u_exp),a
            pop af
            jr u_pn_sign
u_pn_nocaret:
            pop hl
u_pn_sign:  ld a,(u_lead)
            or a
            jr nz,u_pn_done
            ld a,(hl)
            cp '+'
            jr z,u_pn_trail
            cp '-'
            jr nz,u_pn_done
u_pn_trail: ld (u_trail),a
            inc hl
u_pn_done:  pop bc
            ret

; u_string: the string of descriptor HL in the string field.
u_string:   ld b,(hl)
            inc hl
            ld a,(hl)
            inc hl
            ld h,(hl)
            ld l,a
            ld a,(u_width)
            or a
            jr nz,u_string_width
            inc b               ; '&': all of it
            jp putdesc_loop
u_string_width:
            ld c,a
u_string_char:
            ld a,b
            or a
            ld a,' '
            jr z,u_string_put
            ld a,(hl)
            inc hl
            dec b
u_string_put:
            call putch
            dec c
            jr nz,u_string_char
            ret

; u_number: the number (HL or the accumulator, as vtype says) in the
; number field. Keeps DE.
u_number:   push de
            ld a,(vtype)
            or a
            call z,fp_from_int
            ld a,(fpa_s)
            ld (u_neg),a
            ld a,(fpa_e)
            or a
            jr nz,u_num_digits
            call u_setzero
            jr u_num_have
u_num_digits:
            xor a
            ld (u_zero),a
            ld de,numbuf        ; the nine digits PRINT would show
            call fp_format
            ld a,(fpt_n)
            ld (u_n),a
            ld hl,fpt_dig
            ld de,u_dig
            ld b,9
u_num_copy: ld a,(hl)
            sub '0'
            ld (de),a
            inc hl
            inc de
            djnz u_num_copy
u_num_have: ld a,(u_exp)
            or a
            jr nz,u_sci
            ld a,(u_n)          ; rounded after the last decimal:
            ld l,a              ; u_n + decimals + 1 digits kept
            rla
            sbc a,a
            ld h,a
            ld a,(u_dec)
            ld c,a
            ld b,0
            add hl,bc
            inc hl
            call u_round
            ld c,0              ; C: digits before the point
            ld a,(u_zero)
            or a
            jr nz,u_fix_count
            ld a,(u_n)
            or a
            jp m,u_fix_count
            inc a
            ld c,a
u_fix_count:
            ld a,c
            ld (u_count),a
            call u_needed
            xor a
            ld (u_lead0),a
            or c
            jr nz,u_fix_fit
            ld a,(u_point)      ; no digit before the point: a 0 there
            or a                ; when there is room, or no point
            jr z,u_fix_zero
            ld a,(u_width)
            cp b
            jr z,u_fix_fit
            jr c,u_fix_fit
u_fix_zero: inc b
            ld a,1
            ld (u_lead0),a
u_fix_fit:  ld a,(u_n)          ; the first digit shown
            inc a
            sub c
            ld (u_idx),a
            jr u_show

; The number with an exponent: L places before the point (the field's
; less the '$' and, without a '+' or '-', one for the sign), the digits
; after it; the first digit is not 0.
u_sci:      ld a,(u_dollar)
            or a
            ld a,(u_width)
            jr z,u_sci_nodollar
            dec a
u_sci_nodollar:
            ld c,a
            ld a,(u_lead)
            ld b,a
            ld a,(u_trail)
            or b
            jr nz,u_sci_places
            ld a,c
            cp 2
            jr c,u_sci_places
            dec c
u_sci_places:
            ld a,(u_dec)
            add a,c
            jr nz,u_sci_digits
            inc c               ; no place at all: one before the point
            inc a
u_sci_digits:
            ld l,a
            ld h,0
            ld a,c
            ld (u_count),a
            call u_round
            ld hl,0
            ld a,(u_zero)
            or a
            jr nz,u_sci_exp
            ld a,(u_n)          ; the exponent: u_n - L + 1
            ld l,a
            rla
            sbc a,a
            ld h,a
            inc hl
            ld a,(u_count)
            ld c,a
            ld b,0
            or a
            sbc hl,bc
u_sci_exp:  ld (u_e),hl
            xor a
            ld (u_idx),a
            ld (u_lead0),a
            ld (u_comma),a
            call u_needed
u_show:     call u_before
            call u_whole
            ld a,(u_point)
            or a
            jr z,u_show_exp
            ld a,'.'
            call putch
            ld a,(u_dec)
            or a
            jr z,u_show_exp
            ld c,a
u_show_decimal:
            call u_digit
            call putch
            dec c
            jr nz,u_show_decimal
u_show_exp: ld a,(u_exp)
            or a
            jr z,u_show_trail
            ld a,'E'
            call putch
            ld hl,(u_e)
            ld a,'+'
            bit 7,h
            jr z,u_show_esign
            call negate
            ld a,'-'
u_show_esign:
            call putch
            ld a,h
            or a
            jr nz,u_show_enum
            ld a,l
            cp 10
            jr nc,u_show_enum
            ld a,'0'
            call putch
u_show_enum:
            call prnum
u_show_trail:
            ld a,(u_trail)
            or a
            jr z,u_show_done
            ld b,a
            ld a,(u_neg)
            or a
            ld a,'-'
            jr nz,u_show_sign
            ld a,b
            cp '+'
            jr z,u_show_sign
            ld a,' '
u_show_sign:
            call putch
u_show_done:
            pop de
            ret

; u_setzero: the number is 0: nine 0 digits.
u_setzero:  ld a,1
            ld (u_zero),a
            xor a
            ld (u_n),a
            ld hl,u_dig
            ld b,9
u_setzero_digit:
            ld (hl),a
            inc hl
            djnz u_setzero_digit
            ret

; u_round: keep the first HL digits of u_dig (signed), rounding halves
; away from 0; a carry out of the first digit makes it 1 and u_n one more.
u_round:    ld a,(u_zero)
            or a
            ret nz
            bit 7,h
            jr nz,u_setzero     ; nothing kept: 0
            ld a,h
            or a
            ret nz
            ld a,l
            cp 9
            ret nc              ; all nine kept
            ld c,a
            ld b,0
            ld hl,u_dig
            add hl,bc
            ld a,(hl)           ; the first digit dropped
            push af
            ld a,9
            sub c
            ld b,a
u_round_clear:
            ld (hl),0
            inc hl
            djnz u_round_clear
            pop af
            cp 5
            jr nc,u_round_up
            ld a,c              ; none kept and rounded down: 0
            or a
            ret nz
            jr u_setzero
u_round_up: ld a,c
            or a
            jr z,u_round_one
            ld hl,u_dig-1
            add hl,bc           ; the last digit kept (B is 0)
u_round_carry:
            inc (hl)
            ld a,(hl)
            cp 10
            ret c
            ld (hl),0
            dec hl
            dec c
            jr nz,u_round_carry
u_round_one:
            ld a,1
            ld (u_dig),a
            ld hl,u_n
            inc (hl)
            ret

; u_needed: B := the places the number takes before the point: its
; digits, their commas, the '$', and a minus unless a '+' or '-' shows
; the sign.
u_needed:   ld a,(u_count)
            ld b,a
            or a
            jr z,u_needed_dollar
            ld a,(u_comma)
            or a
            jr z,u_needed_dollar
            ld a,(u_count)
            dec a
u_needed_comma:
            sub 3
            jr c,u_needed_dollar
            inc b
            jr u_needed_comma
u_needed_dollar:
            ld a,(u_dollar)
            or a
            jr z,u_needed_minus
            inc b
u_needed_minus:
            call u_minus
            ret z
            inc b
            ret

; u_minus: NZ when the number shows a minus before its digits. Keeps
; BC, DE, HL.
u_minus:    ld a,(u_neg)
            or a
            ret z
            ld a,(u_lead)
            or a
            jr nz,u_minus_not
            ld a,(u_trail)
            or a
            jr nz,u_minus_not
            inc a
            ret
u_minus_not:
            xor a
            ret

; u_before: with B the places needed before the point: the '%' of a
; number too large for its field, or the blanks (or '*') before it; then
; the sign, the '$' and a 0 before the point, as the field asks.
u_before:   ld a,(u_width)
            sub b
            jr nc,u_before_fill
            ld a,'%'
            call putch
            xor a
u_before_fill:
            ld b,a
            ld c,' '
            ld a,(u_star)
            or a
            jr z,u_before_count
            ld c,'*'
u_before_count:
            inc b
            jr u_before_next
u_before_one:
            ld a,c
            call putch
u_before_next:
            djnz u_before_one
            ld a,(u_lead)
            or a
            jr z,u_before_minus
            ld a,(u_neg)
            or a
            ld a,'+'
            jr z,u_before_sign
            ld a,'-'
u_before_sign:
            call putch
            jr u_before_dollar
u_before_minus:
            call u_minus
            ld a,'-'
            call nz,putch
u_before_dollar:
            ld a,(u_dollar)
            or a
            ld a,'$'
            call nz,putch
            ld a,(u_lead0)
            or a
            ld a,'0'
            call nz,putch
            ret

; u_whole: the u_count digits before the point, with commas when asked.
u_whole:    ld a,(u_count)
            or a
            ret z
            ld c,a              ; C: digits still to show
            dec a
u_whole_mod:
            sub 3
            jr nc,u_whole_mod
            add a,3
            ld b,a              ; B: digits after this one to the next comma
u_whole_digit:
            call u_digit
            call putch
            dec c
            ret z
            ld a,(u_comma)
            or a
            jr z,u_whole_digit
            ld a,b
            or a
            jr nz,u_whole_nocomma
            ld a,','
            call putch
            ld b,3
u_whole_nocomma:
            dec b
            jr u_whole_digit

; u_digit: A := the next digit to show as a character: u_dig[u_idx],
; 0 outside the nine. Keeps BC, DE, HL.
u_digit:    push hl
            ld a,(u_idx)
            cp 9
            jr c,u_digit_have
            ld hl,u_idx
            bit 7,a
            jr z,u_digit_after  ; past the nine: stays there
            inc (hl)
u_digit_after:
            ld a,'0'
            pop hl
            ret
u_digit_have:
            push bc
            ld c,a
            ld b,0
            ld hl,u_dig
            add hl,bc
            ld a,(hl)
            add a,'0'
            ld hl,u_idx
            inc (hl)
            pop bc
            pop hl
            ret
