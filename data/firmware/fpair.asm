; Numbers of twice the format's precision for the powers (in the
; extension): a pair hi + lo, lo below hi's last bit. The product of two
; numbers split into 16-bit halves is a sum of four exact products, so
; x^n by repeated squaring and y ln x for x^y lose almost nothing.

; fpd_power: FPA := x^n (or x^-n when y is negative) for the base x at
; fpt_x (positive) and n = B (1..64): repeated squaring in pairs, the
; base's pair at fpt_z/fpt_w, the product's at fpt_r/fpt_u, rounded once at
; the end. Keeps C.
fpd_power:  ld a,(fpt_x+4)      ; x = 2^e m with m in [0.5, 1): m^n in
            sub 128             ; pairs (so that no low part falls below
            ld e,a              ; the range), n e added to the exponent
            rla
            sbc a,a
            ld d,a
            ld a,128
            ld (fpt_x+4),a
            ld hl,0
            push bc
fpd_pow_ne: add hl,de
            djnz fpd_pow_ne
            pop bc
            push hl             ; n e
            ld hl,fpt_x         ; the base's pair: m, 0
            ld de,fpt_z
            call fpd_copy
            ld hl,fpd_zero
            ld de,fpt_w
            call fpd_copy
            ld hl,fp_one        ; the product's pair: 1, 0
            ld de,fpt_r
            call fpd_copy
            ld hl,fpd_zero
            ld de,fpt_u
            call fpd_copy
            ld a,1              ; the product is still 1
            ld (fpt_n),a
fpd_pow_bit:
            srl b
            jr nc,fpd_pow_next
            ld a,(fpt_n)
            or a
            jr z,fpd_pow_mul
            xor a               ; 1 times the base's pair: the pair itself
            ld (fpt_n),a
            push bc
            ld hl,fpt_z
            ld de,fpt_r
            ld bc,5
            ldir
            ld hl,fpt_w
            ld de,fpt_u
            ld bc,5
            ldir
            pop bc
            jr fpd_pow_next
fpd_pow_mul:
            ld hl,fpt_r
            ld de,fpt_z
            call fpd_mul2
fpd_pow_next:
            ld a,b
            or a
            jr z,fpd_pow_done
            ld hl,fpt_z
            ld de,fpt_z
            call fpd_mul2
            jr fpd_pow_bit
fpd_pow_done:
            ld a,(fpt_v+3)
            or a
            jp m,fpd_pow_neg
            ld hl,fpt_r
            call fp_load
            ld hl,fpt_u
            call fp_add
            pop de
            jr fpd_pow_scale
fpd_pow_neg:
            call fpd_recip
            pop hl              ; 2^-(n e)
            xor a
            sub l
            ld e,a
            sbc a,a
            sub h
            ld d,a
fpd_pow_scale:                  ; FPA times 2^DE
            ld a,(fpa_e)
            ld l,a
            ld h,0
            add hl,de
            bit 7,h
            jr nz,fpd_pow_zero
            ld a,h
            or a
            jp nz,err_overflow
            or l
            jr z,fpd_pow_zero
            ld (fpa_e),a
            ret
fpd_pow_zero:
            xor a
            ld (fpa_e),a
            ld (fpa_s),a
            ret
; 1/(h + l): q = 1/h, then q + q ((1 - q h) - q l), with q h exact as a
; pair.
fpd_recip:  ld hl,fp_one
            call fp_load
            ld hl,fpt_r
            call fp_div
            ld hl,fpt_x         ; q
            call fp_store
            ld hl,fpd_a
            call fp_store
            ld hl,fpt_r
            call fp_load
            ld hl,fpd_b
            call fp_store
            call fpd_prod       ; q h = fpd_h + fpd_l
            ld hl,fp_one
            call fp_load
            ld hl,fpd_h
            call fp_sub
            ld hl,fpd_l
            call fp_sub
            ld hl,fpt_y
            call fp_store
            ld hl,fpt_x
            call fp_load
            ld hl,fpt_u
            call fp_mul
            ld hl,fpt_z
            call fp_store
            ld hl,fpt_y
            call fp_load
            ld hl,fpt_z
            call fp_sub
            ld hl,fpt_x
            call fp_mul
            ld hl,fpt_x
            call fp_add
            ret

; fpd_mul2: the pair at HL (hi, then lo 5 bytes on) := itself times the
; pair at DE (which may be the same). Keeps BC.
fpd_mul2:   push bc
            push hl
            push de
            ld de,fpd_a
            call fpd_copy
            pop hl              ; the second pair
            push hl
            ld de,fpd_b
            call fpd_copy
            call fpd_prod       ; ah bh = fpd_h + fpd_l
            pop de
            pop hl
            push hl             ; l += ah bl + al bh
            call fp_load
            ex de,hl
            ld bc,5
            add hl,bc
            call fp_mul         ; ah bl
            or a
            sbc hl,bc
            ex de,hl
            add hl,bc
            push hl
            ld hl,fpd_l
            call fp_add
            call fp_store
            pop hl
            call fp_load        ; al
            ex de,hl
            call fp_mul         ; al bh
            ex de,hl
            ld hl,fpd_l
            call fp_add
            call fp_store
            pop hl
            ld de,fpd_h         ; hi := h + l; lo := l - (hi - h)
            ex de,hl
            call fp_load
            ld hl,fpd_l
            call fp_add
            ex de,hl
            call fp_store
            ld de,fpd_h
            ex de,hl
            call fp_sub
            ld hl,fpd_a
            call fp_store
            ld hl,fpd_l
            call fp_load
            ld hl,fpd_a
            call fp_sub
            ex de,hl
            ld bc,5
            add hl,bc
            call fp_store
            pop bc
            ret

; fpd_prod: fpd_h + fpd_l := fpd_a times fpd_b exactly (to 2^-48 of it);
; FPA is fpd_h. Uses all but BC.
fpd_prod:   push bc
            ld hl,fpd_a
            ld de,fpd_ah
            call fpd_split
            ld hl,fpd_b
            ld de,fpd_bh
            call fpd_split
            ld hl,fpd_ah        ; the middle terms, rounded once
            call fp_load
            ld hl,fpd_bh+5
            call fp_mul
            ld hl,fpd_a
            call fp_store
            ld hl,fpd_ah+5
            call fp_load
            ld hl,fpd_bh
            call fp_mul
            ld hl,fpd_a
            call fp_add
            ld hl,fpd_a         ; m
            call fp_store
            ld hl,fpd_ah
            call fp_load
            ld hl,fpd_bh
            call fp_mul
            ld hl,fpd_b         ; the high term, exact
            call fp_store
            ld hl,fpd_a
            call fp_add
            ld hl,fpd_h         ; h := high + m
            call fp_store
            ld hl,fpd_b
            call fp_load
            ld hl,fpd_h
            call fp_sub
            ld hl,fpd_a         ; what h lost, exactly
            call fp_add
            ld hl,fpd_l
            call fp_store
            ld hl,fpd_ah+5
            call fp_load
            ld hl,fpd_bh+5
            call fp_mul
            ld hl,fpd_l
            call fp_add
            ld hl,fpd_l
            call fp_store
            ld hl,fpd_h
            call fp_load
            pop bc
            ret

; fpd_split: the number at HL into its top 16 mantissa bits (at DE) and
; the rest (at DE+5), both exact. Uses A, BC, DE, HL.
fpd_split:  push hl
            call fpd_copy
            ex de,hl            ; HL: the high part
            ld (hl),0
            inc hl
            ld (hl),0
            dec hl
            ex (sp),hl
            call fp_load
            pop hl
            call fp_sub
            ld bc,5
            add hl,bc
            jp fp_store

; fpd_copy: 5 bytes from HL to DE. Keeps BC, DE, HL.
fpd_copy:   push bc
            push de
            push hl
            ld bc,5
            ldir
            pop hl
            pop de
            pop bc
            ret

fpd_zero:   db 0,0,0,0,0

; fpf_half: for fp_format, with FPA = the number at fpt_f times 10^(8-C)
; (rounded, 2^27 to 2^30): A := 1 when FPA ends in exactly half a unit
; while the exact product (or quotient) is below it, so that the whole
; number nearest is the one below; else A := 0. The scale's rounding alone
; would otherwise round such a number up (1.05552722^12, 1.912640064727,
; became 191264006.5 and showed as 1.91264007).
; Only for 10^-13..10^13, which the format holds exactly. Keeps BC, FPA.
fpf_half:   push bc
            ld a,160            ; the fraction's bits: 160 - exponent (2..5)
            ld hl,fpa_e
            sub (hl)
            ld b,a
            ld a,1
fpf_half_mask:
            add a,a
            djnz fpf_half_mask
            ld e,a              ; 2^f
            srl a
            ld d,a              ; the half
            dec e               ; the fraction's mask
            ld a,(fpa)
            and e
            cp d
            jr nz,fpf_half_no
            ld a,8
            sub c
            ld c,a              ; C: k, the power of ten
            jp p,fpf_half_k
            neg
fpf_half_k: cp 14
            jr nc,fpf_half_no
            push af
            ld hl,fpt_u
            call fp_store       ; h
            pop af
            call fp_pow10
            ld hl,fpd_b
            call fp_store
            bit 7,c
            jr nz,fpf_half_div
            ld hl,fpt_f         ; x 10^k = fpd_h + fpd_l exactly: below h
            call fp_load        ; when (fpd_h - h) + fpd_l < 0
            call fp_abs
            ld hl,fpd_a
            call fp_store
            call fpd_prod
            ld hl,fpt_u
            call fp_sub
            ld hl,fpd_l
            call fp_add
            jr fpf_half_sign
fpf_half_div:                   ; x / 10^k: below h when x < h 10^k
            ld hl,fpt_u
            call fp_load
            ld hl,fpd_a
            call fp_store
            call fpd_prod
            ld hl,fpt_f
            call fp_load
            call fp_abs
            ld hl,fpd_h
            call fp_sub
            ld hl,fpd_l
            call fp_sub
fpf_half_sign:
            ld a,(fpa_s)
            rlca
            and 1
            push af
            ld hl,fpt_u
            call fp_load
            pop af
            pop bc
            ret
fpf_half_no:
            xor a
            pop bc
            ret
