; Memory use of the open BASIC. The ROM owns 0000h-3FFFh; everything it
; keeps while running lives in RAM: the program, then the variables, the
; arrays and the string heap in the program area below F400h, and the
; system's own tables above it.

screen:     equ 7C00h           ; 40x24 text, row r at (r mod 8)*128 + (r div 8)*40
scrcols:    equ 40
scrrows:    equ 24
prtcols:    equ 80              ; the printer's line, for TAB and the PRINT zones

progbase:   equ 8000h           ; line records start here
memtop:     equ 0F400h          ; program, variables, arrays and strings stay below this
stacktop:   equ 0F800h          ; processor stack grows down from here (1 KB)
keybuf:     equ 0F800h          ; 256-byte keyboard ring, indexed by keyhead/keytail
linebuf:    equ 0F900h          ; command line being typed (256 bytes), tokenised in place
inbuf:      equ 0FA00h          ; INPUT answers (256 bytes)
tapebuf:    equ inbuf           ; the cassette's block (256 bytes)
gosubstk:   equ 0FB00h          ; GOSUB entries: record pointer, text pointer
gosubmax:   equ 16
forstk:     equ 0FB40h          ; FOR entries, forsize bytes each
formax:     equ 12
forsize:    equ 17              ; cell 2, type 1, limit 5, step 5, record 2, text 2

; error trapping (errors.asm), after the FOR entries; cleared by clearvars
onerrline:  equ 0FC0Ch          ; ON ERROR GOTO's line, 0 when none
errline:    equ 0FC0Eh          ; ERL: the line of the error trapped
errrec:     equ 0FC10h          ; its record
errpos:     equ 0FC12h          ; the statement that failed, for RESUME
errmsg:     equ 0FC14h          ; its message
inhandler:  equ 0FC16h          ; 1 while the handler runs (until RESUME)
errcode:    equ 0FC17h          ; ERR

; the prompt's line (editing.asm); cleared at power-on and reset
automode:   equ 0FC18h          ; 1 while AUTO offers line numbers
autonext:   equ 0FC19h          ; the number it offers next
autostep:   equ 0FC1Bh          ; its step
edpre:      equ 0FC1Dh          ; EDIT: length of the line put into linebuf, 0 if none
edprecur:   equ 0FC1Eh          ; EDIT: where the cursor starts in it
; FC1Fh is free

; single variables of the system
ticks:      equ 0FC20h          ; 50 Hz count from the NMI
currow:     equ 0FC22h
curcol:     equ 0FC23h          ; 0-40; 40 means a wrap is pending
keyhead:    equ 0FC24h          ; next free slot of keybuf
keytail:    equ 0FC25h          ; next key to hand out
kstalled:   equ 0FC26h          ; 1: the ring was full, a key waits in the keyboard
breakflag:  equ 0FC27h          ; bit 0: the break key (Ctrl+C) was pressed; bit 1: TRON
pollcount:  equ 0FC43h          ; statements until the keyboard is polled again
curline:    equ 0FC28h          ; record of the running line, 0 in direct mode
gosubsp:    equ 0FC2Ah          ; next free GOSUB entry
forsp:      equ 0FC2Ch          ; next free FOR entry
rndseed:    equ 0FC2Eh          ; (not used; the number package keeps the seed)
outdev:     equ 0FC30h          ; 0 screen, 1 printer, 2 the input line, 3 a data file
prtcol:     equ 0FC31h          ; printer column, for PRINT zones
inptr:      equ 0FC32h          ; INPUT: next character of the answer, 0 if none
listend:    equ 0FC34h          ; LIST: last line number to show
tapesum:    equ 0FC36h          ; cassette block checksum
tapeblk:    equ 0FC38h          ; cassette block number
tapeptr:    equ 0FC3Ah          ; cassette: next program byte
tapeend:    equ 0FC3Ch          ; cassette: end of the program bytes
tapecnt:    equ 0FC3Eh          ; cassette: bytes loaded so far
tapefirst:  equ 0FC40h          ; cassette: 1 while waiting for a block (no time limit)
tapeport:   equ 0FC41h          ; cassette: last value written to port 3Ah
tapeprev:   equ 0FC42h          ; cassette: the byte loaded before this one
varbase:    equ 0FC44h          ; simple variables start here (after the end byte)
arrbase:    equ 0FC46h          ; arrays start here
arrend:     equ 0FC48h          ; first free byte after the arrays
strbot:     equ 0FC4Ah          ; lowest byte of the string heap (heap ends at memtop)
tmpsp:      equ 0FC4Ch          ; next free temporary string descriptor
vsp:        equ 0FC4Eh          ; value stack pointer
vtype:      equ 0FC50h          ; type of the value just computed: 0 int, 1 float, 2 string
datarec:    equ 0FC51h          ; READ: record of the current DATA line, 0 before the first
dataptr:    equ 0FC53h          ; READ: next character of DATA text, 0 when a new line is due
stmtpos:    equ 0FC55h          ; start of the running statement (CONT after BREAK)
contrec:    equ 0FC57h          ; CONT: record to go on in, 0 when CONT cannot go on
contpos:    equ 0FC59h          ; CONT: text to go on at
contok:     equ 0FC5Bh          ; 1 when CONT may go on
numtype:    equ 0FC5Ch          ; name parsed by getname: type 0 float, 1 int, 2 string
name0:      equ 0FC5Dh          ; getname: first byte of the stored name
name1:      equ 0FC5Eh          ; getname: second byte
ftemp:      equ 0FC60h          ; 5-byte number scratch
ftemp2:     equ 0FC65h          ; 5-byte number scratch
argval:     equ 0FC6Ah          ; the left operand of a binary operator (type, 5 bytes)
gcmark:     equ 0FC70h          ; garbage collector: destination pointer
lastnum:    equ 0FC72h          ; a line number being read (RENUM, ON)
fpark:      equ 0FC74h          ; 5 bytes: the accumulator parked
fnframe:    equ 0FC79h          ; innermost FN call's saved parameters on the stack, 0 if none
fnargs:     equ 0FC7Bh          ; FN: arguments given
fnparams:   equ 0FC7Ch          ; FN: parameters found so far
tickshi:    equ 0FC7Dh          ; the 50 Hz count's high word (TIME)

; FC80h-FCDFh: scratch. Each group belongs to one part of the firmware and
; is only used while that part runs; FC8Ah-FC8Bh are free.
; storing a typed line (program.asm)
edpos:      equ 0FC80h          ; where the record goes
ednum:      equ 0FC82h          ; its line number
edtext:     equ 0FC84h          ; the text being stored
edend:      equ 0FC86h          ; end of that text
edlen:      equ 0FC88h          ; length of the new record
tokval:     equ 0FC89h          ; the tokeniser: the token being matched
; the line editor (editing.asm) while a line is typed, over the above
le_buf:     equ 0FC80h          ; the buffer; EDIT: the next byte to list into
le_len:     equ 0FC82h          ; characters in it
le_cur:     equ 0FC83h          ; the cursor's place in it
le_row:     equ 0FC84h          ; screen row and column of its first character
le_col:     equ 0FC85h          ; (the column may be 40: a wrap pending)
le_over:    equ 0FC86h          ; 1 once a character was dropped
arr_d3:     equ 0FC8Ch          ; arrays (vars.asm): the third bound
arr_i3:     equ 0FC8Eh          ; the third index
; arrays (vars.asm)
arr_nd:     equ 0FC90h          ; number of indices
arr_d1:     equ 0FC91h          ; first bound
arr_d2:     equ 0FC93h          ; second bound
arr_i1:     equ 0FC95h          ; first index
arr_i2:     equ 0FC97h          ; second index
arr_es:     equ 0FC99h          ; size of an element
; the string heap (strings.asm)
gc_len:     equ 0FC9Ah          ; collector: length of the block in hand
gc_bp:      equ 0FC9Bh          ; collector: the block in hand
gc_start:   equ 0FC9Dh          ; collector: where the walk began
st_right:   equ 0FC9Fh          ; string functions: the right-hand operand
st_start:   equ 0FCA1h          ; string functions: a start position
st_count:   equ 0FCA2h          ; string functions: a count
; statements (statements.asm, flow.asm, print.asm, input.asm, deffn.asm)
s_cell:     equ 0FCA4h          ; FOR, READ, INPUT: the variable's cell
s_limit:    equ 0FCA6h          ; FOR: the limit
s_step:     equ 0FCA8h          ; FOR: the step
s_entry:    equ 0FCAAh          ; FOR, NEXT: the loop's entry
s_lo:       equ 0FCACh          ; LIST: first line; INPUT: the prompt
s_hi:       equ 0FCAEh          ; LIST: last line
s_input:    equ 0FCB0h          ; INPUT: the first variable, to ask again
s_kind:     equ 0FCB2h          ; ON: GOTO or GOSUB; number text: a digit is out
s_count:    equ 0FCB3h          ; ON: items still to skip
s_target:   equ 0FCB5h          ; ON: the line chosen
s_type:     equ 0FCB7h          ; the type of the variable being given a value
s_blanks:   equ 0FCB8h          ; INPUT: 1 while an answer is read (blanks kept)
s_insp:     equ 0FCB9h          ; INPUT: the stack while an answer is read
; RENUM (renum.asm)
rn_first:   equ 0FCBCh          ; the first new number
rn_step:    equ 0FCBEh          ; the step
rn_dry:     equ 0FCC0h          ; 1 on the first pass, which changes nothing
rn_grow:    equ 0FCC1h          ; growth of the record being scanned
rn_total:   equ 0FCC3h          ; growth of the whole program
rn_rec:     equ 0FCC5h          ; the record being scanned
rn_buf:     equ 0FCC7h          ; the new number as text (6 bytes)
rn_end:     equ 0FCCEh          ; end of the old number's digits
rn_list:    equ 0FCD0h          ; 1: a list of numbers may follow (GOTO, GOSUB)
rn_delta:   equ 0FCD1h          ; growth of the number being replaced
; LOAD CAS: (cassette.asm)
tapename:   equ 0FCD3h          ; the name asked for, 8 characters
tapewant:   equ 0FCDBh          ; 1 when a name was given
tapeskip:   equ 0FCDCh          ; 1 while the blocks passing are not ours
tapestage:  equ 0FCDDh          ; where the program is read in

; PRINT USING (using.asm), in the bytes of RENUM and LOAD CAS:, which
; never run at the same time
u_kind:     equ 0FCBBh          ; the field found: 0 a number, 1 a string
u_sp:       equ 0FCBCh          ; the stack at the statement's start
u_ptr:      equ 0FCBEh          ; the next character of the format
u_fmt:      equ 0FCC0h          ; the format's copy on the stack, 0-ended
u_seen:     equ 0FCC2h          ; 1 once a field was found since the format's start
u_lead:     equ 0FCC3h          ; number field: '+' before it (nine bytes, cleared together)
u_trail:    equ 0FCC4h          ; '+' or '-' after it, or 0
u_star:     equ 0FCC5h          ; "**": '*' fills the blanks
u_dollar:   equ 0FCC6h          ; "$$": '$' before the digits
u_comma:    equ 0FCC7h          ; ',' in the digits: groups of three
u_width:    equ 0FCC8h          ; places before the point; a string field's width (0 for &)
u_point:    equ 0FCC9h          ; a point is shown
u_dec:      equ 0FCCAh          ; digits after it
u_exp:      equ 0FCCBh          ; "^^^^": with an exponent
u_neg:      equ 0FCCCh          ; the number is negative
u_zero:     equ 0FCCDh          ; it is 0 (or rounds to 0)
u_n:        equ 0FCCEh          ; its decimal exponent: u_dig holds d.dddddddd x 10^u_n
u_idx:      equ 0FCCFh          ; the next digit of u_dig to show (signed)
u_count:    equ 0FCD0h          ; digits before the point
u_lead0:    equ 0FCD1h          ; 1: a 0 before the point
u_e:        equ 0FCD2h          ; the exponent shown
u_dig:      equ 0FCD4h          ; 9 digits, 0-9 (FCD4h-FCDCh)

dosfiles:   equ 0FCDFh          ; the Open DOS: 'F' while its table of open files
                                ; is in use (every start clears it: no file open)
jumpcache:  equ 0FCE0h          ; 8 lines jumped to: number, record (FCE0h-FCFFh)

; FD00h-FD7Fh: the number package (float.asm, fmath.asm)
fpa:        equ 0FD00h          ; mantissa, 4 bytes, leading 1 in bit 31
fpa_e:      equ 0FD04h          ; exponent, 0: FPA is 0
fpa_s:      equ 0FD05h          ; sign in bit 7, other bits 0
fpt_e:      equ 0FD06h          ; 2: result exponent of mul/div, signed
fpt_nx:     equ 0FD08h          ; 1: fp_parse: the top byte of the number being read
fp_seed:    equ 0FD0Ch          ; 4: state of the random number generator
fpt_s:      equ 0FD10h          ; 5: fp_scale10: the number being scaled
fpt_p:      equ 0FD15h          ; 5: fp_scale10: the power of ten
fpt_f:      equ 0FD1Ah          ; 5: fp_format: the number being written
fpt_dig:    equ 0FD20h          ; 9: fp_format: the digits
fpt_x:      equ 0FD30h          ; 5: functions: the argument
fpt_y:      equ 0FD35h          ; 5: functions: a second value
fpt_z:      equ 0FD3Ah          ; 5: functions: a third value
fpt_w:      equ 0FD3Fh          ; 5: functions: a fourth value
fpt_n:      equ 0FD44h          ; 1: functions: a count or quadrant
fpt_v:      equ 0FD46h          ; 5: fp_tan, fp_pow: saved values
fpt_r:      equ 0FD4Bh          ; 5: functions: what the reduced argument lost in rounding
fpt_u:      equ 0FD50h          ; 5: functions: a fifth value
fpd_a:      equ 0FD55h          ; 5: fpd_prod: the operands, then its scratch
fpd_b:      equ 0FD5Ah          ; 5
fpd_ah:     equ 0FD5Fh          ; 10: the first operand split in two 16-bit halves
fpd_bh:     equ 0FD69h          ; 10: the second
fpd_h:      equ 0FD73h          ; 5: the product's high part
fpd_l:      equ 0FD78h          ; 5: and its low part (FD7Ch the last byte)

vstack:     equ 0FD80h          ; value stack: 6-byte entries (type, 5 bytes)
vstackend:  equ 0FE00h
tmpdesc:    equ 0FE40h          ; temporary string descriptors (length, address)
tmpmax:     equ 16
tmpend:     equ tmpdesc+tmpmax*3
numcache:   equ 0FE70h          ; FE70h-FF6Fh: 32 numbers of the program text already
                                ; read, 8 bytes each: text address, length, type,
                                ; value of a whole number, 2 spare
numfloat:   equ inbuf           ; FA00h-FAFFh: the same 32 as floats, 8 bytes each
                                ; (given up whenever INPUT or the cassette needs inbuf)
warmsig:    equ 0FE22h          ; "OB" while a program area of ours is in memory
numbuf:     equ 0FF70h          ; number formatting (48 bytes)
strbuf:     equ 0FFA0h          ; VAL's text, a character being made (96 bytes)

; The two words the tape loaders and savers share with BASIC:
progend1:   equ 0FE1Eh          ; address just after the 01h end byte
progend2:   equ 0FE20h          ; that address plus one
