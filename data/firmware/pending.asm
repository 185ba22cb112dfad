; Number functions the floating-point package does not provide yet: each
; reports BAD ARGUMENT until it arrives.
fp_pow:
fp_sqr:
fp_sin:
fp_cos:
fp_tan:
fp_atn:
fp_exp:
fp_log:
fp_pi:
fp_rnd:     jp err_argument
