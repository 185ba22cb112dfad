; The functions of the floating point: SQR, EXP, LOG, SIN, COS, TAN, ATN,
; powers, pi and random numbers. Each reduces its argument to a small
; range where a short polynomial (Taylor or arctanh series, Horner's rule)
; is accurate to the format's precision, then scales the result back.
; Registers are kept as for the arithmetic (see float.asm).
;
; Longer calculations are written as steps for fp_run: after `call fp_run`
; come steps of an operation byte and the address of a number, ended by 0.

fr_ld:      equ 1               ; FPA := (address)
fr_st:      equ 2               ; (address) := FPA
fr_add:     equ 3
fr_sub:     equ 4
fr_mul:     equ 5
fr_div:     equ 6
fr_poly:    equ 7               ; FPA := p(z), the coefficients at address
fr_odd:     equ 8               ; FPA := x p(x*x), the coefficients at address

; fp_run: performs the steps following the call, then returns after them.
; Keeps DE and HL; BC is kept unless a polynomial step runs.
fp_run:     ex (sp),hl          ; HL: the steps
            push de
fpr_step:   ld a,(hl)
            inc hl
            or a
            jr z,fpr_done
            ld e,(hl)
            inc hl
            ld d,(hl)
            inc hl
            push hl             ; the next step
            push de             ; the number's address
            ld hl,fpr_ops-2
            add a,a
            ld e,a
            ld d,0
            add hl,de
            ld e,(hl)
            inc hl
            ld d,(hl)           ; DE: the routine
            pop hl
            call fpr_jump
            pop hl
            jr fpr_step
fpr_jump:   push de
            ret
fpr_done:   pop de
            ex (sp),hl
            ret
fpr_ops:    dw fp_load, fp_store, fp_add, fp_sub, fp_mul, fp_div, fp_poly, fpy_odd

; fp_poly: FPA := p(z), z the number at fpt_z, p at HL: a count, then the
; coefficients from the highest power down. Uses BC, DE, HL.
fp_poly:    ld b,(hl)
            inc hl
            call fp_load
            dec b
            ld de,5
fpy_loop:   add hl,de
            push hl
            ld hl,fpt_z
            call fp_mul
            pop hl
            call fp_add
            djnz fpy_loop
            ret

; fpy_odd: FPA := x p(x*x), x = FPA, p at HL. Uses BC, DE, HL.
fpy_odd:    push hl
            call fp_run
            db fr_st
            dw fpt_y
            db fr_mul
            dw fpt_y
            db fr_st
            dw fpt_z
            db 0
            pop hl
            call fp_poly
            ld hl,fpt_y
            jp fp_mul

; fpq_reduce: FPA := r = x - n (hi + lo) with x at fpt_x, n = FPA (a whole
; number), hi at HL and lo right after it. n * hi is exact, so is the first
; difference; what the second gains in rounding goes to fpt_r (r - fpt_r
; is x - n (hi + lo) to twice the format's precision). n is left at fpt_y.
; Uses DE, HL.
fpq_reduce: push hl
            ld hl,fpt_y
            call fp_store
            pop hl
            call fp_mul
            push hl
            call fp_neg
            ld hl,fpt_x
            call fp_add         ; x' = x - n hi
            call fp_store
            ld hl,fpt_y
            call fp_load
            pop hl
            ld de,5
            add hl,de
            call fp_mul
            ld hl,fpt_z
            call fp_store       ; n lo
            call fp_neg
            ld hl,fpt_x
            call fp_add
            ld hl,fpt_u
            call fp_store       ; r
            ld hl,fpt_x         ; (r - x') + n lo: exact, the rounding's
            call fp_sub         ; gain
            ld hl,fpt_z
            call fp_add
            ld hl,fpt_r
            call fp_store
            ld hl,fpt_u
            jp fp_load

; fp_pi: FPA := pi.
fp_pi:      push hl
            ld hl,fpk_pi
            call fp_load
            pop hl
            ret

; ----------------------------------------------------------------------
; fp_sqr: FPA := the square root of FPA. Newton's iteration y := (y + x/y)/2
; three times from a straight-line guess good to 3%: 4E-4, 1E-7, 5E-15.

fp_sqr:     call fp_test
            ret z
            jp m,err_argument
            push hl
            push de
            push bc
            ld hl,fpt_x
            call fp_store
            ld a,(fpa_e)
            sub 128
            ld c,a              ; C: binary exponent e
            sra c               ; C: the result's, e/2 rounded up
            ld b,128
            bit 0,a
            jr z,fqs_even
            dec b               ; odd: the mantissa goes to 0.25..0.5
            inc c
fqs_even:   ld a,b
            ld (fpa_e),a
            ld hl,fpk_sqa
            call fp_mul
            ld hl,fpk_sqb
            call fp_add
            ld a,(fpa_e)
            add a,c
            ld (fpa_e),a
            ld b,3
fqs_iter:   call fp_run
            db fr_st
            dw fpt_y
            db fr_ld
            dw fpt_x
            db fr_div
            dw fpt_y
            db fr_add
            dw fpt_y
            db 0
            ld hl,fpa_e
            dec (hl)
            djnz fqs_iter
            jp fp_exit

; ----------------------------------------------------------------------
; fp_exp: FPA := e^FPA. x = n ln 2 + r with |r| <= ln 2 / 2, n whole;
; e^x = 2^n e^r.

fp_exp:     push hl
            push de
            push bc
            push hl
            ld hl,fpd_zero
            ld de,fpd_l
            call fpd_copy
            pop hl
            jr fqe_start
; fqe_pair: FPA := e^(FPA + fpd_l), fpd_l below FPA's last bit (x^y).
fqe_pair:   push hl
            push de
            push bc
fqe_start:  ld a,(fpa_e)
            cp 136
            jr c,fqe_go         ; |x| < 128
            ld a,(fpa_s)
            or a
            jp p,err_overflow
            jp fpm_zero         ; e^-128 and below are 0
fqe_go:     ld hl,fpt_x
            call fp_store
            ld hl,fpk_1ln2
            call fp_mul
            ld hl,fpk_half
            call fp_add
            call fp_int
            call fp_to_int      ; HL: n
            push hl
            ld hl,fpk_ln2hi
            call fpq_reduce
            ld hl,fpt_z
            call fp_store
            ld hl,fpk_exp
            call fp_poly
            ld hl,fpt_u         ; e^r (1 + fpd_l - what r gained)
            call fp_store
            ld hl,fpd_l
            call fp_load
            ld hl,fpt_r
            call fp_sub
            ld hl,fpt_u
            call fp_mul
            ld hl,fpt_u
            call fp_add
            pop de              ; n
            ld a,(fpa_e)
            ld l,a
            ld h,0
            add hl,de
            ld a,h
            or a
            jp m,fpm_zero       ; below the range
            jp nz,err_overflow
            or l
            jp z,fpm_zero
            ld (fpa_e),a
            jp fp_exit

; ----------------------------------------------------------------------
; fp_log: FPA := ln FPA. x = 2^n m with sqrt(1/2) <= m < sqrt 2;
; ln m = 2 artanh s, s = (m-1)/(m+1) = f/(2+f), |s| <= 0.172.

fp_log:     call fp_test
            jp z,err_argument
            jp m,err_argument
            push hl
            push de
            push bc
            call fql_parts
            ld hl,fpt_x         ; f + the rest, then n ln 2's high part
            call fp_load
            ld hl,fpt_z
            call fp_add
            ld hl,fpt_x
            call fp_store
            ld hl,fpt_y
            call fp_load
            ld hl,fpk_ln2hi
            call fp_mul
            ld hl,fpt_x
            call fp_add
            jp fp_exit

; fql_parts: for FPA > 0: fpt_y := n, fpt_x := f (both exact) and fpt_z :=
; the small rest, so that ln FPA = n (ln 2's high part, exact) + f + fpt_z.
; Uses all.
fql_parts:  ld a,(fpa_e)
            sub 128
            ld c,a              ; n
            ld a,128
            ld (fpa_e),a        ; m in 0.5..1
            ld hl,fpk_rh
            call fp_cmp
            inc a
            jr nz,fql_m
            ld hl,fpa_e         ; below sqrt(1/2): m * 2
            inc (hl)
            dec c
; f = m - 1 (exact), s = f/(2+f), z = s^2: ln m = f - (f^2/2 - s (f^2/2 +
; z q(z))), where the terms after f are small, so that their rounding
; hardly shows; they are left in fpt_z.
fql_m:      push bc
            ld hl,fp_one
            call fp_sub
            ld hl,fpt_x
            call fp_store
            ld hl,fpk_two
            call fp_add
            ld hl,fpt_y
            call fp_store
            ld hl,fpt_x
            call fp_load
            ld hl,fpt_y
            call fp_div
            ld hl,fpt_y         ; s
            call fp_store
            call fp_mul
            ld hl,fpt_z         ; z
            call fp_store
            ld hl,fpk_log
            call fp_poly
            ld hl,fpt_z
            call fp_mul
            ld hl,fpt_z         ; z q(z)
            call fp_store
            ld hl,fpt_x         ; f (f/2): the half only moves the exponent
            call fp_load
            ld a,(fpa_e)
            or a
            jr z,fql_fzero
            dec a
            ld (fpa_e),a
fql_fzero:  call fp_mul
            ld hl,fpt_u         ; f^2/2
            call fp_store
            ld hl,fpt_z
            call fp_add
            ld hl,fpt_y
            call fp_mul
            ld hl,fpt_z
            call fp_store
            ld hl,fpt_u
            call fp_load
            ld hl,fpt_z
            call fp_sub
            ld hl,fpt_z
            call fp_store
            pop bc
            ld a,c              ; + n ln 2, in two parts
            ld l,a
            rla
            sbc a,a
            ld h,a
            call fp_from_int
            ld hl,fpt_y
            call fp_store
            ld hl,fpk_ln2lo
            call fp_mul
            ld hl,fpt_z
            call fp_sub
            ld hl,fpt_z
            call fp_store
            ret

; ----------------------------------------------------------------------
; fp_sin, fp_cos: x = n pi/2 + r, |r| <= pi/4; the quadrant n mod 4 (one
; more for the cosine) picks +-sin r or +-cos r. pi/2 is split in two so
; that n * (high part) is exact for |x| up to about 3000.

fp_cos:     push hl
            push de
            push bc
            ld c,1
            jr fqt_go
fp_sin:     push hl
            push de
            push bc
            ld c,0
fqt_go:     call fqt_kernel
            jp fp_exit

; fp_tan: FPA := sin FPA / cos FPA.
fp_tan:     push hl
            push de
            push bc
            ld hl,fpt_v
            call fp_store
            ld c,1
            call fqt_kernel     ; cos
            ld hl,fpt_w
            call fp_store
            ld hl,fpt_v
            call fp_load
            ld c,0
            call fqt_kernel     ; sin
            ld hl,fpt_w
            call fp_div
            jp fp_exit

; fqt_kernel: FPA := sin FPA (C = 0) or cos FPA (C = 1). Uses all.
fqt_kernel: ld hl,fpt_x
            call fp_store
            ld hl,fpk_2pi
            call fp_mul
            ld hl,fpk_half
            call fp_add
            call fp_int         ; n
            call fpf_whole      ; L: n mod 4 (0 when n is huge)
            ld a,l
            jr nc,fqt_n
            xor a
fqt_n:      ld b,a
            ld a,(fpa_s)
            or a
            ld a,b
            jp p,fqt_npos
            neg                 ; n mod 4 of a negative n: -(|n| mod 4)
fqt_npos:   add a,c
            and 3
            ld (fpt_n),a
            ld hl,fpk_c1
            call fpq_reduce     ; r
            ld a,(fpt_n)
            rra
            jr c,fqt_cos
            ld hl,fpt_y         ; sin: r + (r z q(z) - the gain), z = r^2
            call fp_store
            call fp_mul
            ld hl,fpt_z
            call fp_store
            ld hl,fpk_sin
            call fp_poly
            ld hl,fpt_z
            call fp_mul
            ld hl,fpt_y
            call fp_mul
            ld hl,fpt_r
            call fp_sub
            ld hl,fpt_y
            call fp_add
            jr fqt_sign
fqt_cos:    ld hl,fpt_y         ; cos: p(z) + r times the gain
            call fp_store
            ld hl,fpt_r
            call fp_mul
            ld hl,fpt_u
            call fp_store
            ld hl,fpt_y
            call fp_load
            call fp_mul
            ld hl,fpt_z
            call fp_store
            ld hl,fpk_cos
            call fp_poly
            ld hl,fpt_u
            call fp_add
fqt_sign:   ld a,(fpt_n)
            and 2
            ret z
            jp fp_neg

; ----------------------------------------------------------------------
; fp_atn: FPA := arctan FPA. For |x| > 1, atn x = pi/2 - atn(1/x); above
; tan 15 degrees, atn x = pi/6 + atn((x sqrt 3 - 1)/(x + sqrt 3)).

fp_atn:     push hl
            push de
            push bc
            ld a,(fpa_s)
            ld c,a              ; C bit 7: the sign; bits 0, 1: the steps
            xor a
            ld (fpa_s),a
            ld hl,fp_one
            call fp_cmp
            dec a
            jr nz,fqa_small
            call fp_run         ; 1/x
            db fr_st
            dw fpt_x
            db fr_ld
            dw fp_one
            db fr_div
            dw fpt_x
            db 0
            set 0,c
fqa_small:  ld hl,fpk_t15
            call fp_cmp
            dec a
            jr nz,fqa_series
            call fp_run
            db fr_st
            dw fpt_x
            db fr_add
            dw fpk_r3
            db fr_st
            dw fpt_y
            db fr_ld
            dw fpt_x
            db fr_mul
            dw fpk_r3
            db fr_sub
            dw fp_one
            db fr_div
            dw fpt_y
            db 0
            set 1,c
fqa_series: push bc
            ld hl,fpk_atn
            call fpy_odd
            pop bc
            bit 1,c
            jr z,fqa_nopi6
            ld hl,fpk_pi6
            call fp_add
fqa_nopi6:  bit 0,c
            jr z,fqa_sign
            call fp_neg
            ld hl,fpk_pi2
            call fp_add
fqa_sign:   ld a,c
            and 80h
            ld (fpa_s),a
            jp fp_exit

; ----------------------------------------------------------------------
; fp_pow: FPA := FPA ^ (HL). Whole powers up to 64 by repeated squaring,
; exact where the result is; others as e^(y ln x). A negative x needs a
; whole power.

fp_pow:     push hl
            push de
            push bc
            ld d,h              ; y = 2, the commonest power: x * x at once
            ld e,l
            ld a,(de)
            inc de
            ex de,hl
            or (hl)
            inc hl
            or (hl)
            inc hl
            or (hl)
            inc hl
            jr nz,fqp_not2
            ld a,(hl)
            cp 82h
fqp_not2:   ex de,hl
            jr nz,fqp_any
            ld hl,fpt_x
            call fp_store
            call fp_mul
            jp fp_exit
fqp_any:    ld de,fpt_v
            ld bc,5
            ldir                ; y
            ld hl,fpt_w
            call fp_store       ; x
            ld hl,fpt_v
            ld a,(fpt_v+4)
            or a
            jr nz,fqp_y
            ld hl,fp_one        ; x^0 = 1
            call fp_load
            jp fp_exit
fqp_y:      call fp_test
            jr nz,fqp_x
            ld a,(fpt_v+3)      ; 0^y: 0, or no value for y < 0
            or a
            jp m,err_divzero
            jp fp_exit
fqp_x:      call fp_load        ; is y whole?
            call fp_fix
            ld c,0              ; C bit 7: negate the result
            jr nz,fqp_frac
            call fpf_whole      ; parity of y (0 if huge)
            ld a,l
            jr nc,fqp_parity
            xor a
fqp_parity: rrca
            and 80h
            ld c,a
            call fp_abs
            call fp_to_int
            jr c,fqp_general
            ld a,h
            or a
            jr nz,fqp_general
            ld a,l
            cp 65
            jr nc,fqp_general
            ld b,a              ; B: |y|
            ld hl,fpt_w
            call fp_load
            ld a,(fpa_s)
            and c
            ld c,a
            call fp_abs
            ld hl,fpt_x
            call fp_store       ; the base
            ld a,b
            cp 2
            jr nz,fqp_long
            call fp_mul         ; x^2, the commonest, in one rounding
            ld a,(fpt_v+3)
            or a
            jp p,fqp_sign
            call fp_run         ; x^-2
            db fr_st
            dw fpt_y
            db fr_ld
            dw fp_one
            db fr_div
            dw fpt_y
            db 0
            jp fqp_sign
fqp_long:   call fpd_power      ; other whole powers to twice the precision
            jp fqp_sign
fqp_frac:   ld a,(fpt_w+3)
            or a
            jp m,err_argument   ; negative base, fractional power
fqp_general:                    ; e^w, w = y ln |x| to twice the precision:
            ld hl,fpt_w         ; ln |x| = n (ln 2 high) + f + C, n ln 2
            call fp_load        ; and f exact, C small; y times the first
            ld a,(fpa_s)        ; two exactly as pairs
            and c
            ld c,a
            call fp_abs
            push bc
            call fql_parts
            ld hl,fpt_z
            call fp_load
            ld hl,fpt_v
            call fp_mul
            ld hl,fpt_z         ; y C
            call fp_store
            ld hl,fpt_y
            call fp_load
            ld hl,fpk_ln2hi
            call fp_mul
            ld hl,fpd_b
            call fp_store
            ld hl,fpt_v
            call fp_load
            ld hl,fpd_a
            call fp_store
            call fpd_prod       ; y n (ln 2 high)
            ld hl,fpt_y
            call fp_store
            ld hl,fpd_l
            call fp_load
            ld hl,fpt_u
            call fp_store
            ld hl,fpt_x
            call fp_load
            ld hl,fpd_b
            call fp_store
            ld hl,fpt_v
            call fp_load
            ld hl,fpd_a
            call fp_store
            call fpd_prod       ; y f
            ld hl,fpt_y         ; the high parts added (the first is the larger, or 0), what that loses, the low
            call fp_load
            ld hl,fpd_h         ; parts and y C: S
            call fp_add
            ld hl,fpt_x
            call fp_store
            ld hl,fpt_y
            call fp_load
            ld hl,fpt_x
            call fp_sub
            ld hl,fpd_h
            call fp_add
            ld hl,fpt_u
            call fp_add
            ld hl,fpd_l
            call fp_add
            ld hl,fpt_z
            call fp_add
            ld hl,fpt_z         ; S
            call fp_store
            ld hl,fpt_x         ; w = high + S, and what that loses
            call fp_add
            ld hl,fpt_y
            call fp_store
            ld hl,fpt_x
            call fp_load
            ld hl,fpt_y
            call fp_sub
            ld hl,fpt_z
            call fp_add
            ld hl,fpd_l
            call fp_store
            ld hl,fpt_y
            call fp_load
            call fqe_pair
            pop bc
fqp_sign:   ld a,(fpa_e)
            or a
            jp z,fp_exit
            ld a,(fpa_s)
            xor c
            ld (fpa_s),a
            jp fp_exit

; ----------------------------------------------------------------------
; fp_rnd: FPA := the next number of a xorshift generator (x ^= x << 13,
; x ^= x >> 17, x ^= x << 5 on the 32 bits of fp_seed) divided by 2^32:
; 0 < FPA < 1. The state is never 0: a 0 seed is replaced first.

fp_rnd:     push hl
            push de
            push bc
            ld hl,(fp_seed)
            ld de,(fp_seed+2)
            ld a,h
            or l
            or d
            or e
            jr nz,fqr_go
            ld hl,2463h
            ld (fp_seed),hl
            ld de,0C0DEh
            ld (fp_seed+2),de
fqr_go:     ld d,e              ; x << 13: a byte, then five bits
            ld e,h
            ld h,l
            ld l,0
            ld b,5
            call fqr_shl
            ld hl,(fp_seed+2)   ; x >> 17
            ld de,0
            srl h
            rr l
            call fqr_xor
            ld hl,(fp_seed)     ; x << 5
            ld de,(fp_seed+2)
            ld b,5
            call fqr_shl
            ld hl,(fp_seed+2)
            push hl
            exx
            pop hl
            exx
            ld hl,(fp_seed)
            xor a
            ld (fpa_s),a
            ld c,a
            ld de,128
            jp fp_nexit

; fqr_shl: fp_seed ^= DE:HL << B.
fqr_shl:    add hl,hl
            rl e
            rl d
            djnz fqr_shl
; fqr_xor: fp_seed ^= DE:HL.
fqr_xor:    ld a,(fp_seed)
            xor l
            ld (fp_seed),a
            ld a,(fp_seed+1)
            xor h
            ld (fp_seed+1),a
            ld a,(fp_seed+2)
            xor e
            ld (fp_seed+2),a
            ld a,(fp_seed+3)
            xor d
            ld (fp_seed+3),a
            ret

; Constants.
fpk_half:   db 000h,000h,000h,000h,080h ; 0.5
fpk_pi:     db 0A2h,0DAh,00Fh,049h,082h ; pi
fpk_pi2:    db 0A2h,0DAh,00Fh,049h,081h ; pi/2
fpk_pi6:    db 0C1h,091h,00Ah,006h,080h ; pi/6
fpk_2pi:    db 06Eh,083h,0F9h,022h,080h ; 2/pi
fpk_c1:     db 000h,0D8h,00Fh,049h,081h ; pi/2, high part (21 bits)
fpk_c2:     db 031h,05Ah,088h,028h,06Bh ; pi/2, the rest
fpk_1ln2:   db 029h,03Bh,0AAh,038h,081h ; 1/ln 2
fpk_ln2hi:  db 000h,017h,072h,031h,080h ; ln 2, high part (24 bits)
fpk_ln2lo:  db 07Ah,0CFh,0D1h,077h,068h ; ln 2, the rest
fpk_rh:     db 034h,0F3h,004h,035h,080h ; sqrt 0.5
fpk_r3:     db 043h,0D7h,0B3h,05Dh,081h ; sqrt 3
fpk_t15:    db 0F5h,0A2h,030h,009h,07Fh ; tan 15 degrees
fpk_sqa:    db 0ABh,0AAh,0AAh,02Ah,080h ; square root guess: 2/3 m + 0.354
fpk_sqb:    db 0EEh,07Ch,03Fh,035h,07Fh ;
; e^r, |r| <= 0.35: fitted polynomial of degree 8
fpk_exp:    db 9
            db 007h,061h,0B0h,050h,071h ; 2.48776651048e-5
            db 0A4h,047h,0D9h,050h,074h ; 0.000199173688316
            db 0A1h,024h,00Bh,036h,077h ; 0.0013888818944
            db 068h,03Dh,088h,008h,07Ah ; 0.00833326336578
            db 0BBh,0AAh,0AAh,02Ah,07Ch ; 0.0416666669043
            db 0D4h,0AAh,0AAh,02Ah,07Eh ; 0.166666669073
            db 000h,000h,000h,000h,080h ; 0.5
            db 000h,000h,000h,000h,081h ; 1.0
            db 000h,000h,000h,000h,081h ; 1.0
; (2 artanh(s)/s - 2)/s^2 in s^2, |s| <= 0.172: degree 3
fpk_log:    db 4
            db 02Bh,073h,021h,072h,07Eh ; 0.236455726146
            db 0B6h,078h,017h,012h,07Fh ; 0.28533532354
            db 0FBh,055h,0CDh,04Ch,07Fh ; 0.400004088297
            db 069h,0AAh,0AAh,02Ah,080h ; 0.666666651377
fpk_two:    db 000h,000h,000h,000h,082h ; 2.0
; (sin(r)/r - 1)/r^2 in r^2, |r| <= pi/4: degree 3
fpk_sin:    db 4
            db 08Bh,079h,04Eh,036h,06Eh ; 2.7165791705e-6
            db 082h,03Ah,007h,0D0h,074h ; -0.000198391186245
            db 059h,083h,088h,008h,07Ah ; 0.0083333285038
            db 0A4h,0AAh,0AAh,0AAh,07Eh ; -0.166666666279
; cos(r) in r^2, |r| <= pi/4: degree 5
fpk_cos:    db 6
            db 05Ah,057h,0D8h,091h,06Bh ; -2.71657636164e-7
            db 02Ch,010h,007h,050h,071h ; 2.4798821272e-5
            db 0F7h,058h,00Bh,0B6h,077h ; -0.0013888879871
            db 0A2h,0AAh,0AAh,02Ah,07Ch ; 0.0416666665406
            db 000h,000h,000h,080h,080h ; -0.5
            db 000h,000h,000h,000h,081h ; 1.0
; atn(x)/x in x^2, |x| <= tan 15 degrees: degree 5
fpk_atn:    db 6
            db 057h,040h,051h,09Bh,07Dh ; -0.0758385683584
            db 0D2h,09Fh,01Bh,061h,07Dh ; 0.109915970417
            db 0EBh,074h,03Dh,092h,07Eh ; -0.142812563747
            db 0EDh,099h,0CCh,04Ch,07Eh ; 0.199999241915
            db 082h,0AAh,0AAh,0AAh,07Fh ; -0.333333328599
            db 000h,000h,000h,000h,081h ; 1.0

; fp_time: FPA := the seconds since the 50 Hz count started (the power-on
; or the last reset): the 32-bit count of ticks and tickshi over 50.
fp_time:    push hl
            push de
            push bc
fptime_read: ld de,(tickshi)     ; a carry into the high word between the
            ld hl,(ticks)       ; two reads is read again
            ld a,(tickshi)
            cp e
            jr nz,fptime_read
            xor a
            ld (fpa_s),a
            push de
            exx
            pop hl
            exx
            ld c,a
            ld de,160
            call fp_norm
            ld hl,fpk_50
            call fp_div
            jp fp_exit

fpk_50:     db 000h,000h,000h,048h,086h ; 50
