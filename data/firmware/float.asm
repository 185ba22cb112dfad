; Floating point: the number format, the accumulator FPA and the
; arithmetic, comparison, conversion, parsing and formatting routines.
;
; A number in memory takes 5 bytes: a 32-bit mantissa, least significant
; byte first, then the exponent. Exponent 0 is the value 0. Otherwise the
; value is 0.1mmm... (binary) * 2^(exponent-128), where bit 7 of byte 3
; holds the sign instead of the leading 1, which is always there.
;
; FPA is kept unpacked: the mantissa with its leading 1 in place, the
; exponent, and the sign in a byte of its own. Every routine keeps BC, DE,
; HL, IX and IY unless it says otherwise; A, the flags and the alternate
; registers (AF', BC', DE', HL') are used freely.
;
; Inside the routines a mantissa being worked on is held in HL' (high
; word) and HL (low word), with a guard byte below it for rounding.
; The accumulator and the package's scratch are in memory.asm (FD00h-FD7Fh).

; ----------------------------------------------------------------------
; Shared exits. fp_nexit normalises, rounds and stores the mantissa in
; HL':HL:C with the exponent DE (signed, biased) and the sign already in
; fpa_s; fp_rexit the same for a mantissa already normalised; fp_exit
; restores the registers the public routines save on entry.

fp_rexit:   call fpn_round
            jr fp_exit
fp_nexit:   call fp_norm
fp_exit:    pop bc
            pop de
            pop hl
            ret

; fp_norm: normalise HL':HL:C (byte shifts first), round to nearest on the
; guard byte C and store into FPA with exponent DE. A result below the
; range becomes 0; one above it is an overflow. Uses A, B.
fp_norm:    ld b,5
fpn_byte:   exx
            ld a,h
            exx
            or a
            jr nz,fpn_bits
            exx                 ; top byte empty: move everything up a byte
            ld h,l
            exx
            ld a,h
            exx
            ld l,a
            exx
            ld h,l
            ld l,c
            ld c,0
            ld a,e
            sub 8
            ld e,a
            jr nc,fpn_nb
            dec d
fpn_nb:     djnz fpn_byte
            jr fpn_zero          ; nothing left: the value is 0
fpn_bits:   jp m,fpn_round
fpn_bit:    sla c
            adc hl,hl
            exx
            adc hl,hl
            exx
            dec de
            jp p,fpn_bit         ; S comes from the high word's adc
fpn_round:  sla c
            jr nc,fpn_range
            inc l
            jr nz,fpn_range
            inc h
            jr nz,fpn_range
            exx
            inc l
            jr nz,fpn_r1
            inc h
            jr nz,fpn_r1
            ld h,80h            ; carried out of the top: 1.000 * 2
            exx
            inc de
            jr fpn_range
fpn_r1:     exx
fpn_range:  ld a,d
            or a
            jr nz,fpn_out
            or e
            jr z,fpn_zero
            ld (fpa_e),a
            ld (fpa),hl
            exx
            ld (fpa+2),hl
            exx
            ret
fpn_out:    jp p,err_overflow
fpn_zero:   xor a
            ld (fpa_e),a
            ld (fpa_s),a
            ret

; fp_ldop: the number at HL into DE' (high word) and DE (low word) with the
; leading 1 in place, B := its exponent, C := C xor its sign. Z when it is
; 0. Moves HL.
fp_ldop:    ld e,(hl)
            inc hl
            ld d,(hl)
            inc hl
            ld a,(hl)
            inc hl
            exx
            ld e,a
            exx
            ld a,(hl)
            inc hl
            ld b,(hl)
            exx
            ld d,a
            set 7,d
            exx
            and 80h
            xor c
            ld c,a
            ld a,b
            or a
            ret

; ----------------------------------------------------------------------
; fp_load: FPA := (HL).  fp_store: (HL) := FPA.

fp_load:    push hl
            push de
            push bc
            ld de,fpa
            ldi
            ldi
            ldi
            ld a,(hl)
            ld c,a
            or 80h
            ld (de),a
            inc hl
            ld a,(hl)
            ld (fpa_e),a
            or a
            jr z,fpl_zero
            ld a,c
            and 80h
fpl_zero:   ld (fpa_s),a
            jp fp_exit

fp_store:   push hl
            push de
            push bc
            ex de,hl
            ld a,(fpa_e)
            or a
            jr z,fpst_zero
            ld hl,fpa
            ldi
            ldi
            ldi
            ld a,(hl)
            and 7Fh
            ld c,a
            ld a,(fpa_s)
            or c
            ld (de),a
            inc de
            ld a,(fpa_e)
            ld (de),a
            jp fp_exit
fpst_zero:  ld b,5
fpst_zloop: ld (de),a
            inc de
            djnz fpst_zloop
            jp fp_exit

; ----------------------------------------------------------------------
; fp_add: FPA := FPA + (HL).  fp_sub: FPA := FPA - (HL).
; The number with the smaller exponent is shifted right to line up with
; the other (whole bytes first); the bits shifted out land in the guard.

fp_sub:     push hl
            push de
            push bc
            ld c,80h
            jr fpad_go
fp_add:     push hl
            push de
            push bc
            ld c,0
fpad_go:    call fp_ldop
            jp z,fp_exit        ; x +- 0
            ld a,(fpa_e)
            or a
            jp z,fpad_take      ; 0 +- y
            sub b
            jr c,fpad_swap
            ld hl,(fpa)
            exx
            ld hl,(fpa+2)
            exx
            ld b,a              ; B: exponent difference
            ld a,(fpa_s)
            xor c               ; bit 7: the magnitudes subtract
            jr fpad_align
fpad_swap:  neg                 ; the operand is the larger: it goes to
            ld l,a              ; HL':HL, FPA to DE':DE
            ld a,b
            ld (fpa_e),a
            ld b,l
            ex de,hl
            ld de,(fpa)
            exx
            ex de,hl
            ld de,(fpa+2)
            exx
            ld a,(fpa_s)
            xor c
            ex af,af'
            ld a,c
            ld (fpa_s),a
            jr fpad_guard
fpad_align: ex af,af'           ; A': the subtract flag
fpad_guard: ld c,0              ; guard
            ld a,b
            or a
            jr z,fpad_sum
            cp 34
            jr c,fpad_bytes
            ld de,0             ; far too small to count
            exx
            ld de,0
            exx
            jr fpad_sum
fpad_bytes: cp 8
            jr c,fpad_bits
            sub 8
            ld b,a
            ld c,e
            ld e,d
            exx
            ld a,e
            ld e,d
            ld d,0
            exx
            ld d,a
            ld a,b
            jr fpad_bytes
fpad_bits:  or a
            jr z,fpad_sum
            ld b,a
fpad_bit:   exx
            srl d
            rr e
            exx
            rr d
            rr e
            rr c
            djnz fpad_bit
fpad_sum:   ex af,af'
            rla
            jr c,fpad_diff
            add hl,de
            exx
            adc hl,de
            exx
            jr c,fpad_carry
fpad_fast:  bit 7,c
            jr nz,fpad_round
            ld (fpa),hl         ; normalised, same exponent, nothing to round
            exx
            ld (fpa+2),hl
            exx
            jp fp_exit
fpad_round: ld a,(fpa_e)
            ld e,a
            ld d,0
            jp fp_rexit
fpad_carry: ld a,(fpa_e)
            ld e,a
            ld d,0
            exx                 ; carried into a 33rd bit: shift back
            rr h
            rr l
            exx
            rr h
            rr l
            rr c
            inc de
            jp fp_rexit
fpad_diff:  xor a
            sub c
            ld c,a
            sbc hl,de
            exx
            sbc hl,de
            exx
            jr nc,fpad_done
            xor a               ; the operand was larger (same exponent):
            sub l               ; negate, the guard is 0 here
            ld l,a
            ld a,0
            sbc a,h
            ld h,a
            exx
            ld a,0
            sbc a,l
            ld l,a
            ld a,0
            sbc a,h
            ld h,a
            exx
            ld a,(fpa_s)
            xor 80h
            ld (fpa_s),a
fpad_done:  exx
            bit 7,h
            exx
            jr nz,fpad_fast     ; no bit lost at the top
            ld a,(fpa_e)
            ld e,a
            ld d,0
            jp fp_nexit
fpad_take:  ld (fpa),de
            exx
            ld (fpa+2),de
            exx
            ld a,b
            ld (fpa_e),a
            ld a,c
            ld (fpa_s),a
            jp fp_exit

; ----------------------------------------------------------------------
; fp_mul: FPA := FPA * (HL). Shift and add, one multiplier byte at a
; time from the least significant end; a zero byte is a single byte shift,
; so small whole numbers multiply quickly. The product is kept to 40 bits.

fp_mul:     push hl
            push de
            push bc
            ld c,0
            call fp_ldop
            jp z,fpm_zero
            ld a,(fpa_e)
            or a
            jp z,fp_exit
            ld l,a
            ld h,0
            ld a,c
            ld c,b
            ld b,h
            add hl,bc
            ld bc,-128
            add hl,bc
            ld (fpt_e),hl
            ld hl,fpa_s
            xor (hl)
            ld (hl),a
fpm_go:     exx                 ; a power of two only moves the exponent
            ld a,d
            exx
            cp 80h
            jr nz,fpm_pow2b
            ld a,d
            or e
            exx
            or e
            exx
            jr nz,fpm_pow2b
            ld de,(fpt_e)       ; the operand is: FPA's mantissa stays
            dec de
            ld hl,(fpa)
            exx
            ld hl,(fpa+2)
            exx
            ld c,0
            jp fp_rexit
fpm_pow2b:  ld a,(fpa+3)
            cp 80h
            jr nz,fpm_full
            ld hl,(fpa)
            ld a,(fpa+2)
            or h
            or l
            jr nz,fpm_full
            ld hl,(fpt_e)       ; FPA is: the operand's mantissa it is
            dec hl
            ex de,hl
            exx
            ex de,hl
            exx
            ld c,0
            jp fp_rexit
fpm_full:   ld hl,fpa           ; the multiplier should be the one with
            ld b,0              ; more zero bytes at its low end
fpm_tzfpa:  ld a,(hl)
            or a
            jr nz,fpm_tzop
            inc hl              ; (byte 3 holds the leading 1)
            inc b
            jr fpm_tzfpa
fpm_tzop:   ld c,0
            ld a,e
            or a
            jr nz,fpm_tzcmp
            inc c
            or d
            jr nz,fpm_tzcmp
            inc c
            exx
            or e
            exx
            jr nz,fpm_tzcmp
            inc c
fpm_tzcmp:  ld a,b
            cp c
            jr nc,fpm_clear
            ld hl,(fpa)
            ld (fpa),de
            ex de,hl
            exx
            ld hl,(fpa+2)
            ld (fpa+2),de
            ex de,hl
            exx
fpm_clear:  ld hl,0
            exx
            ld hl,0
            exx
            ld bc,(fpa)         ; zero bytes at the low end of the multiplier
            ld a,c              ; would only shift a product still 0: skip
            or a
            jr nz,fpm_b0
            or b
            jr nz,fpm_s1
            ld a,(fpa+2)
            or a
            ld a,0
            jr nz,fpm_b2
            jr fpm_b3
fpm_s1:     xor a
            jr fpm_b1
fpm_b0:     xor a
            call fpm_byte
fpm_b1:     ld bc,(fpa+1)
            call fpm_byte
fpm_b2:     ld bc,(fpa+2)
            call fpm_byte
fpm_b3:     ld bc,(fpa+3)
            call fpm_byte
            ld c,a
            ld de,(fpt_e)
            jp fp_nexit
fpm_zero:   xor a
            ld (fpa_e),a
            ld (fpa_s),a
            jp fp_exit

; fpm_byte: product HL':HL:A += DE':DE * C / 256, eight bits.
fpm_byte:   inc c
            dec c
            jr z,fpm_skip
            ld b,8
fpm_bit:    srl c
            jr nc,fpm_shift
            add hl,de
            exx
            adc hl,de
            rr h
            rr l
            exx
            rr h
            rr l
            rra
            djnz fpm_bit
            ret
fpm_shift:  exx
            rr h
            rr l
            exx
            rr h
            rr l
            rra
            djnz fpm_bit
            ret
fpm_skip:   ld a,l              ; a zero byte: shift right by 8
            ld l,h
            exx
            push hl
            ld l,h
            ld h,0
            exx
            pop bc
            ld h,c
            ret

; ----------------------------------------------------------------------
; fp_div: FPA := FPA / (HL). Restoring division of the mantissas, 34
; quotient bits: 32 and the two below for rounding. The quotient bits are
; collected inverted in C behind a marker bit and pushed a byte at a time.

fp_div:     push hl
            push de
            push bc
            ld c,0
            call fp_ldop
            jp z,err_divzero
            ld a,(fpa_e)
            or a
            jp z,fp_exit
            ld l,a
            ld h,0
            ld a,c
            ld c,b
            ld b,h
            and a
            sbc hl,bc
            ld bc,129
            add hl,bc
            ld (fpt_e),hl
            ld hl,fpa_s
            xor (hl)
            ld (hl),a
            exx                 ; by a power of two: only the exponent moves
            ld a,d
            exx
            cp 80h
            jr nz,fpd_full
            ld a,d
            or e
            exx
            or e
            exx
            jr nz,fpd_full
            ld hl,(fpa)
            exx
            ld hl,(fpa+2)
            exx
            ld c,a
            ld de,(fpt_e)
            jp fp_rexit
fpd_full:   ld hl,(fpa)
            ld bc,0501h         ; B: bytes to go, C: the marker
            exx
            ld hl,(fpa+2)
            or a
            jr fpd_trial         ; the first bit compares without a shift
fpd_bit:    add hl,hl           ; remainder * 2
            exx
            adc hl,hl
            jr c,fpd_force
fpd_trial:  sbc hl,de           ; high words first: most trials end here
            jr c,fpd_fail
            exx
            sbc hl,de
            jr nc,fpd_ok
            exx                 ; the low words borrow: fits only when the
            ld a,h              ; high word was larger
            or l
            jr z,fpd_fail2
            dec hl
            exx
            or a
            jr fpd_ok
fpd_fail2:  add hl,de           ; restore both; carry is 1 after
            exx
            add hl,de
            jr fpd_ok
fpd_fail:   add hl,de           ; restore; carry is 1 after
            exx
fpd_ok:     rl c
            jr nc,fpd_bit
            ld a,c
            cpl
            dec b
            jr z,fpd_last
            push af
            ld c,1
            ld a,b
            dec a
            jr nz,fpd_bit
            ld c,40h            ; last byte: two bits only
            jr fpd_bit
fpd_force:  exx                 ; the remainder passed 2^32: subtract
            or a
            sbc hl,de
            exx
            sbc hl,de
            exx
            or a
            jr fpd_ok
fpd_last:   rrca
            rrca
            and 0C0h
            ld c,a
            pop af
            ld l,a
            pop af
            ld h,a
            pop af
            exx
            ld l,a
            pop af
            ld h,a
            exx
            ld de,(fpt_e)
            jp fp_nexit

; ----------------------------------------------------------------------
; fp_cmp: compare FPA with (HL): A = 0 (Z) equal, 1 FPA larger, FFh FPA
; smaller.  fp_test: A = 0 (Z), 1 or FFh as FPA is 0, positive, negative.

fp_cmp:     push hl
            push de
            push bc
            inc hl
            inc hl
            inc hl
            ld c,(hl)
            inc hl
            ld a,(hl)
            or a
            jr nz,fpc_nz
            call fp_test
            jp fp_exit
fpc_nz:     ld a,(fpa_e)
            or a
            jr nz,fpc_both
            ld a,c              ; FPA is 0: the operand's sign decides
            rla
            sbc a,a
            cpl
            or 1
            jp fp_exit
fpc_both:   ld a,(fpa_s)
            xor c
            jp m,fpc_sign
            ld a,(fpa_e)
            cp (hl)
            jr nz,fpc_mag
            dec hl
            ld a,(hl)
            or 80h
            ld b,a
            ld a,(fpa+3)
            cp b
            jr nz,fpc_mag
            dec hl
            ld a,(fpa+2)
            cp (hl)
            jr nz,fpc_mag
            dec hl
            ld a,(fpa+1)
            cp (hl)
            jr nz,fpc_mag
            dec hl
            ld a,(fpa)
            cp (hl)
            jr nz,fpc_mag
            xor a
            jp fp_exit
fpc_mag:    sbc a,a             ; carry: |FPA| < |operand|
            or 1
            ld b,a
            ld a,(fpa_s)
            or a
            ld a,b
            jp p,fpc_ret
            neg
fpc_ret:    or a
            jp fp_exit
fpc_sign:   call fp_test
            jp fp_exit

fp_test:    ld a,(fpa_e)
            or a
            ret z
            ld a,(fpa_s)
            rla
            sbc a,a
            or 1
            ret

; fp_neg, fp_abs, fp_sgn: FPA := -FPA, |FPA|, -1/0/1.
fp_neg:     ld a,(fpa_e)
            or a
            ret z
            ld a,(fpa_s)
            xor 80h
            ld (fpa_s),a
            ret

fp_abs:     xor a
            ld (fpa_s),a
            ret

fp_sgn:     ld a,(fpa_e)
            or a
            ret z
            ld a,81h
            ld (fpa_e),a
            ld a,80h
            ld (fpa+3),a
            xor a
            ld (fpa),a
            ld (fpa+1),a
            ld (fpa+2),a
            ret

; ----------------------------------------------------------------------
; fp_fix: FPA := FPA truncated toward 0.  fp_int: FPA := the largest whole
; number not above FPA.

fp_int:     ld a,(fpa_s)
            or a
            jp p,fp_fix
            call fp_fix
            ret z               ; already whole
            push hl
            ld hl,fp_one
            call fp_sub
            pop hl
            ret

; fp_fix also returns NZ when it dropped a fraction.
fp_fix:     ld a,(fpa_e)
            or a
            ret z
            cp 129
            jr c,fpx_zero        ; below 1
            sub 160
            jr nc,fpx_whole      ; no fraction bits
            neg                 ; A: fraction bits, 1-31
            push hl
            push bc
            ld hl,fpa
            ld c,0              ; the bits dropped
fpx_byte:   cp 8
            jr c,fpx_bits
            ld b,a
            ld a,(hl)
            or c
            ld c,a
            ld (hl),0
            inc hl
            ld a,b
            sub 8
            jr fpx_byte
fpx_bits:   or a
            jr z,fpx_done
            ld b,a
            ld a,0FFh
fpx_mask:   add a,a
            djnz fpx_mask
            ld b,a
            cpl
            and (hl)
            or c
            ld c,a
            ld a,(hl)
            and b
            ld (hl),a
fpx_done:   ld a,c
            pop bc
            pop hl
            or a
            ret
fpx_whole:  xor a
            ret
fpx_zero:   xor a
            ld (fpa_e),a
            ld (fpa_s),a
            inc a
            ret

; ----------------------------------------------------------------------
; Whole numbers in and out.
; fp_from_int: FPA := HL signed.  fp_from_uint: FPA := HL unsigned.
; fp_from_a: FPA := A unsigned.

fp_from_a:  push hl
            push de
            push bc
            ld l,a
            ld h,0
            xor a
            jr fpi_go
fp_from_uint:
            push hl
            push de
            push bc
            xor a
            jr fpi_go
fp_from_int:
            push hl
            push de
            push bc
            ld a,h
            and 80h
            jr z,fpi_go
            xor a
            sub l
            ld l,a
            sbc a,a
            sub h
            ld h,a
            ld a,80h
fpi_go:     ld (fpa_s),a
            ld b,145            ; exponent with the top bit at bit 15, + 1
            ld a,h
            or a
            jr nz,fpi_shift
            or l
            jr z,fpi_zero
            ld h,l              ; a byte first
            ld l,0
            ld b,137
fpi_shift:  dec b               ; up until the leading 1 falls out
            add hl,hl
            jr nc,fpi_shift
            rr h                ; and back in
            rr l
            ld (fpa+2),hl
            ld hl,0
            ld (fpa),hl
            ld a,b
            ld (fpa_e),a
            jp fp_exit
fpi_zero:   ld (fpa_e),a
            ld (fpa_s),a
            jp fp_exit

; fp_to_int: HL := FPA truncated, signed 16-bit; carry when out of range.
; fp_to_uint: HL := FPA truncated, 0-65535; carry when out of range.
fp_to_int:  push bc
            call fpx_u16
            jr c,fpti_done
            ld a,(fpa_s)
            or a
            jp m,fpti_neg
            ld a,h
            rla
            jr fpti_done
fpti_neg:   xor a
            sub l
            ld l,a
            sbc a,a
            sub h
            ld h,a
            or l
            jr z,fpti_done
            ld a,h
            cpl
            rla
fpti_done:  pop bc
            ret

fp_to_uint: push bc
            call fpx_u16
            jr c,fpti_done
            ld a,(fpa_s)
            or a
            jp p,fpti_done
            ld a,h
            or l
            jr z,fpti_done
            scf
            jr fpti_done

; fpx_u16: HL := |FPA| truncated; carry when it is 65536 or more. Uses B.
fpx_u16:    ld hl,0
            ld a,(fpa_e)
            cp 129
            ccf
            ret nc
            cp 145
            ccf
            ret c
            ld hl,(fpa+2)
            sub 144
            neg
            ret z
            cp 8
            jr c,fpx_u16b
            ld l,h              ; a whole byte first
            ld h,0
            sub 8
            ret z
fpx_u16b:   ld b,a
fpx_u16sh:  srl h
            rr l
            djnz fpx_u16sh
            or a
            ret

fp_one:     db 000h,000h,000h,000h,081h

; ----------------------------------------------------------------------
; fp_parse: read an unsigned decimal number at HL into FPA; HL moves past
; it. Carry and HL unchanged when there is none. Up to eleven digits are
; gathered as a 40-bit whole number N, exactly, and rounded to nearest
; into the mantissa; the value is N * 10^k, one correctly rounded
; multiplication or division for |k| up to 13.

fp_parse:   push de
            push bc
            push hl
            ld de,0             ; k
            ld bc,0             ; B: point seen, C: digits seen
            xor a
            ld (fpt_nx),a
            exx
            ld hl,0
            ld de,0
            exx
fp_ploop:   ld a,(hl)
            cp '.'
            jr z,fp_ppoint
            sub '0'
            cp 10
            jr nc,fp_pend
            ld c,1
            call fp_pdigit
            inc hl
            jr fp_ploop
fp_ppoint:  bit 0,b
            jr nz,fp_pend
            inc b
            inc hl
            jr fp_ploop
fp_pfail:   pop hl
            pop bc
            pop de
            scf
            ret
fp_pend:    dec c
            jr nz,fp_pfail
            push hl
            push de
            xor a
            ld (fpa_s),a
            exx                 ; N's top 32 bits into HL':HL, the rest
            ld a,(fpt_nx)       ; into the guard byte
            ld b,a
            ld c,d
            push bc
            ld b,e
            ld c,h
            push bc
            ld a,l
            exx
            pop hl
            exx
            pop hl
            exx
            ld de,168
            ld c,a
            call fp_norm
            pop de
            pop hl
            ld a,(hl)           ; an exponent part?
            or 20h
            cp 'e'
            jr nz,fp_pscale
            push hl
            inc hl
            ld a,(hl)
            ld c,0
            cp '+'
            jr z,fp_pesign
            cp '-'
            jr nz,fp_pefirst
            inc c
fp_pesign:  inc hl
            ld a,(hl)
fp_pefirst: sub '0'
            cp 10
            jr nc,fp_penone
            exx
            ld b,0
            exx
fp_peloop:  ld a,(hl)
            sub '0'
            cp 10
            jr nc,fp_pedone
            exx
            ld c,a
            ld a,b
            cp 20
            jr nc,fp_peclamp
            add a,a
            add a,a
            add a,b
            add a,a
            add a,c
            ld b,a
            exx
            inc hl
            jr fp_peloop
fp_peclamp: ld b,200
            exx
            inc hl
            jr fp_peloop
fp_penone:  pop hl              ; not an exponent: leave the E
            jr fp_pscale
fp_pedone:  inc sp
            inc sp
            exx
            ld a,b
            exx
            push hl
            ld l,a
            ld h,0
            dec c
            jr nz,fp_peplus
            ex de,hl
            or a
            sbc hl,de
            jr fp_pesum
fp_peplus:  add hl,de
fp_pesum:   ex de,hl
            pop hl
fp_pscale:  ld a,(fpa_e)        ; FPA := N * 10^DE
            or a
            jr z,fp_pdone
            ld a,d              ; clamp DE to -128..127
            inc a
            cp 2
            ld a,e
            jr nc,fp_pclamp
            xor d
            jp p,fp_pok
fp_pclamp:  ld a,d
            rla
            ld a,7Fh
            adc a,0             ; 7Fh or 80h
            jr fp_pgo
fp_pok:     ld a,e
fp_pgo:     call fp_scale10
fp_pdone:   inc sp
            inc sp
            pop bc
            pop de
            or a
            ret

; fp_pdigit: N (fpt_nx:DE':HL', 40 bits) := N*10 + A while N has room,
; counting the decimal exponent in DE for digits that do not fit (before
; the point) or that do (after it). B bit 0: the point has been seen.
fp_pdigit:  exx
            push af             ; the digit
            ld a,(fpt_nx)       ; room while N < 1900000000h: 11 digits
            cp 19h
            jr nc,fp_dfull
            add hl,hl           ; N*2
            rl e
            rl d
            rla
            ld (fpt_nx),a
            push de
            push hl
            add hl,hl           ; N*8
            rl e
            rl d
            rla
            add hl,hl
            rl e
            rl d
            rla
            pop bc              ; + N*2
            add hl,bc
            pop bc
            ex de,hl
            adc hl,bc
            ex de,hl
            ld c,a
            ld a,(fpt_nx)
            adc a,c
            ld (fpt_nx),a
            pop af              ; + the digit
            add a,l
            ld l,a
            ld a,0
            adc a,h
            ld h,a
            jr nc,fp_dok
            inc de
            ld a,d
            or e
            jr nz,fp_dok
            ld a,(fpt_nx)
            inc a
            ld (fpt_nx),a
fp_dok:     exx
            bit 0,b
            ret z
            dec de
            ret
fp_dfull:   pop af
            exx
            bit 0,b
            ret nz
            inc de
            ret

; fp_scale10: FPA := FPA * 10^A, A signed. Powers up to 10^38 are built
; from a table and applied in one multiplication or division; larger
; ones in steps.
fp_scale10: or a
            ret z
            push hl
            push de
            push bc
            ld c,a
fpsc_step:  ld a,c
            cp 39
            jr c,fpsc_small
            cp -38
            jr nc,fpsc_small
            ld a,38             ; a step of 38 toward 0
            bit 7,c
            jr z,fpsc_small
            ld a,-38
fpsc_small: ld b,a
            ld a,c
            sub b
            ld c,a              ; what is left for the next step
            push bc
            ld hl,fpt_s
            call fp_store
            ld a,b
            bit 7,a
            jr z,fpsc_pos
            neg
fpsc_pos:   call fp_pow10
            ld hl,fpt_p
            call fp_store
            ld hl,fpt_s
            call fp_load
            pop bc
            ld hl,fpt_p
            bit 7,b
            jr nz,fpsc_div
            call fp_mul
            jr fpsc_next
fpsc_div:   call fp_div
fpsc_next:  ld a,c
            or a
            jr nz,fpsc_step
            jp fp_exit

; fp_pow10: FPA := 10^A, A 0-39: a power from the table, which holds the
; exact ones up to 10^13, times 10^13 or the nearest number to 10^26.
; Uses HL, DE, B.
fp_pow10:   ld hl,fp_one
            cp 14
            jr c,fp10_go
            ld hl,fp_p10+60     ; 10^13
            sub 13
            cp 14
            jr c,fp10_go
            ld hl,fp_p10e26
            sub 13
fp10_go:    ld b,a
            call fp_load
            ld a,b
            or a
            ret z
            ld l,a
            ld h,0
            ld d,h
            ld e,l
            add hl,hl
            add hl,hl
            add hl,de
            ld de,fp_p10-5
            add hl,de
            jp fp_mul

fp_p10:
            db 000h,000h,000h,020h,084h ; 1E1
            db 000h,000h,000h,048h,087h ; 1E2
            db 000h,000h,000h,07Ah,08Ah ; 1E3
            db 000h,000h,040h,01Ch,08Eh ; 1E4
            db 000h,000h,050h,043h,091h ; 1E5
            db 000h,000h,024h,074h,094h ; 1E6
            db 000h,080h,096h,018h,098h ; 1E7
            db 000h,020h,0BCh,03Eh,09Bh ; 1E8
            db 000h,028h,06Bh,06Eh,09Eh ; 1E9
            db 000h,0F9h,002h,015h,0A2h ; 1E10
            db 040h,0B7h,043h,03Ah,0A5h ; 1E11
            db 010h,0A5h,0D4h,068h,0A8h ; 1E12
            db 02Ah,0E7h,084h,011h,0ACh ; 1E13
fp_p10e26:  db 0BAh,0A5h,06Fh,025h,0D7h ; 1E26, rounded

; ----------------------------------------------------------------------
; fp_format: FPA as text at DE, ended by 0; HL := the start of the text.
; DE is not kept; FPA is. A sign or a space, then up to 9 significant
; digits without trailing zeros; plain from 0.01 up to 999999999, else
; d.dddE+nn. The number is scaled by a power of ten to a whole number of
; 9 digits, 10^8 <= N < 10^9, from a first guess of its decimal exponent d
; taken from the binary one (log10 2 ~ 77/256), corrected when N misses.

fp_format:  push bc
            push de
            ld hl,fpt_f
            call fp_store
            ld a,(fpa_s)
            or a
            ld a,' '
            jr z,fpf_sign
            ld a,'-'
fpf_sign:   ld (de),a
            inc de
            ld a,(fpa_e)
            or a
            jr nz,fpf_nonzero
            ld a,'0'
            ld (de),a
            inc de
            jp fpf_end
fpf_nonzero:
            push de
            sub 129
            ld l,a
            rla
            sbc a,a
            ld h,a              ; HL: binary exponent - 1
            ld b,h
            ld c,l
            add hl,hl
            add hl,hl
            push hl
            add hl,hl
            ld d,h
            ld e,l
            add hl,hl
            add hl,hl
            add hl,hl
            add hl,de
            pop de
            add hl,de
            add hl,bc           ; * 77
            ld c,h              ; C: d, the decimal exponent
fpf_try:    ld hl,fpt_f
            call fp_load
            xor a
            ld (fpa_s),a
            ld a,8
            sub c
            call fp_scale10
            ld hl,fpf_top       ; N would reach 10^9?
            call fp_cmp
            inc a
            jr nz,fpf_up
            ld hl,fpf_bottom    ; or stay below 10^8?
            call fp_cmp
            inc a
            jr nz,fpf_digits
            dec c
            jr fpf_try
fpf_up:     inc c
            jr fpf_try
fpf_digits: call fpf_half        ; an exact half that is really below it
            push af             ; rounds down
            call fpf_whole
            pop af
            or a
            jr z,fpf_rounded
            ld de,1
            sbc hl,de           ; (carry is clear)
            exx
            ld de,0
            sbc hl,de
            exx
fpf_rounded:
            ld a,c
            ld (fpt_n),a
            push ix
            ld ix,fpf_tens
            ld de,fpt_dig
fpf_digit:  ld c,(ix+0)
            ld b,(ix+1)
            exx
            ld c,(ix+2)
            ld b,(ix+3)
            exx
            ld a,'0'-1
fpf_sub:    inc a
            or a
            sbc hl,bc
            exx
            sbc hl,bc
            exx
            jr nc,fpf_sub
            add hl,bc
            exx
            adc hl,bc
            exx
            ld (de),a
            inc de
            ld bc,4
            add ix,bc
            ld a,e
            cp (fpt_dig+8) & 0FFh
            jr nz,fpf_digit
            ld a,l
            add a,'0'
            ld (de),a
            pop ix
            pop de              ; where the digits go
            ld b,9              ; B: significant digits
            ld hl,fpt_dig+8
fpf_trim1:  ld a,(hl)
            cp '0'
            jr nz,fpf_trimmed
            dec hl
            djnz fpf_trim1
fpf_trimmed:
            ld hl,fpt_dig
            ld a,(fpt_n)
            add a,2
            cp 11
            jr nc,fpf_sci       ; outside 0.01 .. 999999999
            sub 2
            jp m,fpf_small
            inc a
            ld c,a              ; digits before the point
            ld a,b
            sub c
            push af
fpf_int:    ld a,(hl)
            ld (de),a
            inc hl
            inc de
            dec c
            jr nz,fpf_int
            pop af
            jr z,fpf_end
            jr c,fpf_end
            ld b,a
fpf_point:  ld a,'.'
            ld (de),a
            inc de
fpf_copy:   ld a,(hl)
            ld (de),a
            inc hl
            inc de
            djnz fpf_copy
            jr fpf_end
fpf_small:  ld a,'0'            ; 0.0ddd or 0.ddd
            ld (de),a
            inc de
            ld a,(fpt_n)
            inc a
            jr z,fpf_point
            ld a,'.'
            ld (de),a
            inc de
            ld a,'0'
            ld (de),a
            inc de
            jr fpf_copy
fpf_sci:    ld a,(hl)
            ld (de),a
            inc hl
            inc de
            dec b
            jr z,fpf_exp
            ld a,'.'
            ld (de),a
            inc de
fpf_sci1:   ld a,(hl)
            ld (de),a
            inc hl
            inc de
            djnz fpf_sci1
fpf_exp:    ld a,'E'
            ld (de),a
            inc de
            ld a,(fpt_n)
            ld c,'+'
            or a
            jp p,fpf_epos
            neg
            ld c,'-'
fpf_epos:   ld b,a
            ld a,c
            ld (de),a
            inc de
            ld a,b
            ld c,'0'-1
fpf_etens:  inc c
            sub 10
            jr nc,fpf_etens
            add a,'0'+10
            ld b,a
            ld a,c
            ld (de),a
            inc de
            ld a,b
            ld (de),a
            inc de
fpf_end:    xor a
            ld (de),a
            ld hl,fpt_f
            call fp_load
            pop hl
            pop bc
            ret

; fpf_whole: HL':HL := FPA (positive) rounded to a whole number; carry
; when it is 2^32 or more. Uses B, DE.
fpf_whole:  ld a,(fpa_e)
            cp 128
            jr c,fpf_wzero      ; below 0.5
            sub 161
            ccf
            ret c
            neg
            ld b,a
            ld hl,(fpa)
            exx
            ld hl,(fpa+2)
            exx
            dec b
            jr z,fpf_wdone
fpf_wsh:    exx
            srl h
            rr l
            exx
            rr h
            rr l
            djnz fpf_wsh
            jr nc,fpf_wdone     ; the last bit out rounds
            ld de,1
            add hl,de
            exx
            ld de,0
            adc hl,de
            exx
fpf_wdone:  or a
            ret
fpf_wzero:  ld hl,0
            exx
            ld hl,0
            exx
            or a
            ret

fpf_top:    db 0FEh,027h,06Bh,06Eh,09Eh ; 999999999.5
fpf_bottom: db 0F0h,01Fh,0BCh,03Eh,09Bh ; 99999999.5
fpf_tens:   dw 0E100h,005F5h    ; 10^8
            dw 09680h,00098h    ; 10^7
            dw 04240h,0000Fh    ; 10^6
            dw 086A0h,00001h    ; 10^5
            dw 10000,0
            dw 1000,0
            dw 100,0
            dw 10,0
