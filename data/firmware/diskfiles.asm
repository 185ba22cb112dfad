; The data files' two hooks that are not statements, in the extension:
; both reach the Open DOS only when it is in the DOS slot (the mark "OD" at
; 6018h). The statements themselves (PREPARE, OPEN, CLOSE, PRINT #, INPUT #,
; GET #) go there through dosgo.

; EOF(n)
fn_eof:     ld hl,6032h
            jp dosgo

; dosclose: the Open DOS closes every data file; nothing without it.
; Keeps BC, DE, HL and IX.
dosclose:   ld a,(6018h)
            cp 'O'
            ret nz
            jp 6038h
