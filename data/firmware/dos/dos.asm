; Orvane DOS: the open disk operating system in the DOS slot at 6000h-6FFFh.
; It keeps files on Orvane disks (docs/disk-format.md) in drives DR0: and
; DR1: of the "mo" disk card (card code 45), one 256-byte sector at a time.
;
; Callers fill the parameter block (dpdrive ...) and CALL an entry of the
; table at 6000h. Every entry returns with carry clear when it worked, or
; with carry set and A = one of the ERR codes below. Every entry reads the
; disk's first sector and its directory afresh, so a disk changed between
; calls is seen as it is; nothing is written to a disk whose first sector
; lacks the signature.
;
; A change writes the new data to sectors the directory in force shows
; free, then the whole directory into the other copy, its header last:
; cut off at any instruction, the disk keeps the old version and stays
; consistent.
;
; Workspace: 7400h-75FFh (RAM that the BASIC does not use).
;
; The BASIC statements' bodies live here too: the open BASIC's SAVE and LOAD
; jump to 6012h and 6015h when a DRn: device follows. They use the BASIC's
; own routines, whose addresses come from its label file.

            include 'openfirmware.labels'

CARD:       equ 45              ; the "mo" card
CMDREAD:     equ 03h             ; read sector, send it to the processor
CMDWRITE:    equ 0Ch             ; take 256 bytes, write them to the sector
FIRSTDATA:  equ 11
COPYA:      equ 1
COPYB:      equ 6

ERRNOTFOUND: equ 1
ERRFULL:     equ 2
ERRDIRFULL:  equ 3
ERRWPROT:    equ 4
ERRNODISK:   equ 5
ERRNOTOURS:  equ 6
ERROPEN:     equ 7
ERRDAMAGED:  equ 8
ERRBIG:      equ 9
ERREXISTS:   equ 10

buf:        equ 7400h           ; one sector
bmap:       equ 7500h           ; the allocation map in force (80 bytes)
; The parameter block.
dpdrive:    equ 7560h           ; drive 0 or 1
dpname:     equ 7561h           ; name, 8 bytes padded with blanks
dpkind:     equ 7569h           ; 'B' program, 'D' data
dpaddr:     equ 756Ah           ; where the data is, or goes
dplen:      equ 756Ch           ; its length; the room for a load
dpnew:      equ 756Eh           ; the new name for a rename
; Working variables.
dcur:       equ 7580h           ; first sector of the copy in force
dother:     equ 7581h           ; first sector of the other copy
dgen:       equ 7582h           ; generation in force (4 bytes)
dgenb:      equ 7586h           ; generation of copy B while mounting
dsum:       equ 758Ah           ; running checksum
dsect:      equ 758Ch           ; sector being written
dnext:      equ 758Eh           ; the sector after it
dleft:      equ 7590h           ; bytes still to move
dptr:       equ 7592h           ; where they are
dneed:      equ 7594h           ; sectors the new version takes
dsects:     equ 7596h           ; sectors on the disk
dfound:     equ 7598h           ; 1 when lookup found the name
dfree:      equ 7599h           ; free entries lookup saw
dmode:      equ 759Ah           ; 1: commit places dent
dplaced:    equ 759Bh
dcopyok:    equ 759Ch           ; bit 0 copy A valid, bit 1 copy B valid
dlkname:    equ 759Eh           ; the name lookup looks for
dcount:     equ 75A0h
dent:       equ 75B0h           ; the entry a commit places (16 bytes)
dold:       equ 75C0h           ; the entry lookup found (16 bytes)

            org 6000h
            jp dsave            ; 6000h: write a file (replaces one of that name)
            jp dload            ; 6003h: read a file to dpaddr, at most dplen bytes
            jp dkill            ; 6006h: remove a file
            jp drename          ; 6009h: rename dpname to dpnew
            jp dcheck           ; 600Ch: mount; HL = free sectors
            jp dentries         ; 600Fh: A = 0-3: that entry sector of the directory to buf
            jp bsave            ; 6012h: BASIC's SAVE DRn:NAME, DE at the device
            jp bload            ; 6015h: BASIC's LOAD DRn:NAME, DE at the device
            db 'O', 'D'         ; 6018h: the BASIC's hooks look for this mark
            jp brun             ; 601Ah: RUN DRn:NAME
            jp bkill            ; 601Dh: KILL DRn:NAME
            jp bname            ; 6020h: NAME DRn:OLD AS NEW
            jp bdir             ; 6023h: DIR [DRn:]

signature:  defm "ORVANEDK"
copymagic:  defm "ODIR"

; ---------------------------------------------------------------------------
; The card.

; Sends command A for sector HL of drive (dpdrive). Carry and A = ERR code
; when the card reports an error.
dsetup:     push af
            ld a,CARD
            out (1),a
ds_wait:    in a,(1)
            cp 80h              ; busy after a bus reset
            jr z,ds_wait
            pop af
            out (0),a
            ld a,(dpdrive)
            out (0),a
            ld a,l
            and 7
            ld e,a
            srl h
            rr l
            srl h
            rr l
            srl h
            rr l
            ld a,l
            out (0),a           ; track: sector / 8
            ld a,e
            out (0),a           ; sector within the track
            ; fall through: the status after the command
dstatus:    in a,(1)
            and 8
            ret z
            in a,(0)
            ; fall through
; A = the card's error code: 128 no drive, 64 write failed, else damaged.
cardfail:   cp 128
            jr z,cf_nodisk
            cp 64
            ld a,ERRWPROT
            jr z,cf_done
            ld a,ERRDAMAGED
            jr cf_done
cf_nodisk:  ld a,ERRNODISK
cf_done:    scf
            ret

; Reads sector HL into buf.
rdsec:      push bc
            push de
            push hl
            ld a,CMDREAD
            call dsetup
            jr c,io_done
            ld hl,buf
            ld bc,0000h         ; 256 bytes from port 0
            inir
            or a
io_done:    pop hl
            pop de
            pop bc
            ret

; Writes buf to sector HL.
wrsec:      push bc
            push de
            push hl
            ld a,CMDWRITE
            call dsetup
            jr c,io_done
            ld hl,buf
            ld bc,0000h
            otir
            in a,(1)
            and 8
            jr z,io_done        ; carry is clear after AND
            in a,(0)
            call cardfail
            jr io_done

; ---------------------------------------------------------------------------
; Mounting: the signature, both copies, the one in force and its map.

dcheck:     call mount
            ret c
            call countfree
            or a
            ret

mount:      ld a,CARD           ; a transfer cut off by a reset is dropped
            out (1),a
            out (2),a
            ld hl,0
            call rdsec
            ret c
            ld hl,buf
            ld de,signature
            ld b,8
mt_sig:     ld a,(de)
            cp (hl)
            jp nz,mt_notours
            inc hl
            inc de
            djnz mt_sig
            ld a,(buf+8)
            cp 1
            jr nz,mt_notours
            ld hl,(buf+10)
            ld (dsects),hl
            xor a
            ld (dcopyok),a
            ld a,COPYB
            call chkcopy
            jr c,mt_a
            ld hl,dcopyok
            set 1,(hl)
            ld hl,dgen
            ld de,dgenb
            ld bc,4
            ldir
mt_a:       ld a,COPYA
            call chkcopy
            ld a,(dcopyok)
            jr c,mt_anone
            or 1
            ld (dcopyok),a
            cp 3
            jr nz,mt_usea       ; only A is valid
            ; both valid: the higher generation, compared from the top byte
            ld hl,dgen+3
            ld de,dgenb+3
            ld b,4
mt_cmp:     ld a,(de)
            cp (hl)
            jr c,mt_usea        ; B < A
            jr nz,mt_useb       ; B > A
            dec hl
            dec de
            djnz mt_cmp
            jr mt_usea
mt_anone:   and 2
            ld a,ERRDAMAGED
            scf
            ret z               ; neither copy is valid
mt_useb:    ld hl,dgenb
            ld de,dgen
            ld bc,4
            ldir
            ld a,COPYB
            ld b,COPYA
            jr mt_set
mt_usea:    ld a,COPYA
            ld b,COPYB
mt_set:     ld (dcur),a
            ld l,a
            ld a,b
            ld (dother),a
            ld h,0
            call rdsec
            ret c
            ld hl,buf+16
            ld de,bmap
            ld bc,80
            ldir
            or a
            ret
mt_notours: ld a,ERRNOTOURS
            scf
            ret

; Checks the copy at sector A: magic and checksum. Carry when it is not
; valid; otherwise its generation is in dgen.
chkcopy:    ld l,a
            ld h,0
            push hl
            call rdsec
            pop hl
            ret c
            ld de,buf
            ld bc,copymagic
            ld a,4
ck_magic:   push af
            ld a,(bc)
            ex de,hl
            cp (hl)
            ex de,hl
            jr nz,ck_bad
            inc de
            inc bc
            pop af
            dec a
            jr nz,ck_magic
            push hl
            ld hl,buf+4
            ld de,dgen
            ld bc,4
            ldir
            ld hl,0
            ld (dsum),hl
            call sumbuf
            ; the stored checksum is not part of the sum
            ld hl,(dsum)
            ld a,(buf+8)
            ld e,a
            ld d,0
            or a
            sbc hl,de
            ld a,(buf+9)
            ld e,a
            or a
            sbc hl,de
            ld (dsum),hl
            ld hl,(buf+8)
            ld (dcount),hl      ; the checksum to match
            pop hl
            ld b,4
ck_sec:     inc hl
            push bc
            push hl
            call rdsec
            call nc,sumbuf
            pop hl
            pop bc
            ret c
            djnz ck_sec
            ld hl,(dsum)
            ld de,(dcount)
            or a
            sbc hl,de
            ret z               ; carry clear
            scf
            ret
ck_bad:     pop af
            scf
            ret

; Adds the 256 bytes of buf to dsum.
sumbuf:     ld hl,buf
            ld de,(dsum)
            ld b,0
sb_loop:    ld a,(hl)
            add a,e
            ld e,a
            jr nc,sb_next
            inc d
sb_next:    inc hl
            djnz sb_loop
            ld (dsum),de
            or a
            ret

; ---------------------------------------------------------------------------
; The allocation map.

; HL = sector: HL = its byte in bmap, A = its bit.
bitof:      ld a,l
            and 7
            ld b,a
            ld a,1
            jr z,bo_shifted
bo_shift:   add a,a
            djnz bo_shift
bo_shifted: srl h
            rr l
            srl h
            rr l
            srl h
            rr l
            ld de,bmap
            add hl,de
            ret

; HL = free data sectors.
countfree:  ld hl,FIRSTDATA
            ld bc,0
cf_loop:    push hl
            ld de,(dsects)
            or a
            sbc hl,de
            pop hl
            jr nc,cf_end
            push hl
            push bc
            call bitof
            pop bc
            and (hl)
            pop hl
            jr nz,cf_used
            inc bc
cf_used:    inc hl
            jr cf_loop
cf_end:     ld h,b
            ld l,c
            ret

; HL = a free sector, now marked in use (there is one: callers counted).
alloc:      ld hl,FIRSTDATA
al_loop:    push hl
            call bitof
            ld c,a
            and (hl)
            jr z,al_take
            pop hl
            inc hl
            jr al_loop
al_take:    ld a,c
            or (hl)
            ld (hl),a
            pop hl
            ret

; Frees the chain of the entry in dold.
freeold:    ld hl,(dold+14)
            ld (dcount),hl
            ld hl,(dold+12)
fo_loop:    ld a,h
            or l
            ret z
            ld de,FIRSTDATA     ; a link out of the data area: damaged
            push hl
            or a
            sbc hl,de
            pop hl
            jr c,fo_bad
            ld de,(dsects)
            push hl
            or a
            sbc hl,de
            pop hl
            jr nc,fo_bad
            ld de,(dcount)
            ld a,d
            or e
            ret z
            dec de
            ld (dcount),de
            push hl
            call bitof
            cpl
            and (hl)
            ld (hl),a
            pop hl
            call rdsec
            ret c
            ld hl,(buf)
            jr fo_loop
fo_bad:     ld a,ERRDAMAGED
            scf
            ret

; ---------------------------------------------------------------------------
; The directory.

; Compares the 8-byte names at HL and DE: Z when equal.
cmpname:    ld b,8
cn_loop:    ld a,(de)
            cp (hl)
            ret nz
            inc hl
            inc de
            djnz cn_loop
            ret

; Looks for the name at (dlkname) in the directory in force: dfound, a copy
; of the entry in dold, the number of free entries in dfree.
lookup:     xor a
            ld (dfound),a
            ld (dfree),a
            ld a,(dcur)
            ld b,4
lk_sec:     inc a
            push af
            push bc
            ld l,a
            ld h,0
            call rdsec
            jr c,lk_fail
            ld ix,buf
            ld c,16
lk_ent:     ld a,(ix+0)
            or a
            jr nz,lk_used
            ld hl,dfree
            inc (hl)
            jr lk_next
lk_used:    push ix
            pop hl
            ld de,(dlkname)
            push bc
            call cmpname
            pop bc
            jr nz,lk_next
            ld a,1
            ld (dfound),a
            push ix
            pop hl
            ld de,dold
            push bc
            ld bc,16
            ldir
            pop bc
lk_next:    ld de,16
            add ix,de
            dec c
            jr nz,lk_ent
            pop bc
            pop af
            djnz lk_sec
            or a
            ret
lk_fail:    pop bc
            pop bc
            ret

lookname:   ld hl,dpname
            ld (dlkname),hl
            jp lookup

; Writes the new directory into the other copy: every entry named dpname
; removed, dent placed in the first free entry when dmode is 1; the
; entry sectors first, the header with the next generation and the map
; last. Then the other copy is the one in force.
commit:     xor a
            ld (dplaced),a
            ld hl,0
            ld (dsum),hl
            ld b,4
            ld c,1
cm_sec:     push bc
            ld a,(dcur)
            add a,c
            ld l,a
            ld h,0
            call rdsec
            jp c,cm_fail
            ld ix,buf
            ld b,16
cm_ent:     push bc
            ld a,(ix+0)
            or a
            jr z,cm_free
            push ix
            pop hl
            ld de,dpname
            call cmpname
            jr nz,cm_next
            push ix
            pop hl
            ld b,16
cm_clear:   ld (hl),0
            inc hl
            djnz cm_clear
cm_free:    ld a,(dmode)
            or a
            jr z,cm_next
            ld a,(dplaced)
            or a
            jr nz,cm_next
            push ix
            pop de
            ld hl,dent
            ld bc,16
            ldir
            ld a,1
            ld (dplaced),a
cm_next:    ld de,16
            add ix,de
            pop bc
            djnz cm_ent
            call sumbuf
            pop bc
            push bc
            ld a,(dother)
            add a,c
            ld l,a
            ld h,0
            call wrsec
            jr c,cm_fail
            pop bc
            inc c
            djnz cm_sec
            ld a,(dmode)
            ld hl,dplaced
            cp (hl)
            ld a,ERRDIRFULL
            scf
            ret nz              ; the header is not written: nothing changed
            ; the header: magic, generation + 1, the map; the checksum
            ; field is zero while it is summed
            ld hl,buf
            ld de,buf+1
            ld bc,255
            ld (hl),0
            ldir
            ld hl,copymagic
            ld de,buf
            ld bc,4
            ldir
            ld hl,dgen
            ld bc,4
            ldir
            ld hl,buf+4
            ld b,4
cm_inc:     inc (hl)
            jr nz,cm_incd
            inc hl
            djnz cm_inc
cm_incd:    ld hl,bmap
            ld de,buf+16
            ld bc,80
            ldir
            call sumbuf
            ld hl,(dsum)
            ld (buf+8),hl
            ld a,(dother)
            ld l,a
            ld h,0
            call wrsec
            ret c
            ld a,(dother)
            ld hl,dcur
            ld b,(hl)
            ld (hl),a
            ld a,b
            ld (dother),a
            ld hl,buf+4
            ld de,dgen
            ld bc,4
            ldir
            or a
            ret
cm_fail:    pop bc
            ret

; ---------------------------------------------------------------------------
; The entries.

dload:      call mount
            ret c
            call lookname
            ret c
            ld a,(dfound)
            or a
            ld a,ERRNOTFOUND
            scf
            ret z
            ld a,(dold+11)
            or a
            jr nz,dl_big
            ld hl,(dplen)
            ld de,(dold+9)
            or a
            sbc hl,de
            jr c,dl_big
            ld (dplen),de
            ld (dleft),de
            ld hl,(dpaddr)
            ld (dptr),hl
            ld hl,(dold+12)
dl_loop:    ld a,h
            or l
            jr z,dl_end
            call rdsec
            ret c
            call chunk
            ld a,b
            or c
            jr z,dl_end
            ld hl,buf+2
            ld de,(dptr)
            ldir
            ld (dptr),de
            ld hl,(buf)
            jr dl_loop
dl_end:     ld hl,(dleft)
            ld a,h
            or l
            ret z               ; carry clear
            ld a,ERRDAMAGED
            scf
            ret
dl_big:     ld a,ERRBIG
            scf
            ret

; BC = the bytes of this sector (dleft, at most 254); dleft less them.
chunk:      ld hl,(dleft)
            ld bc,254
            or a
            sbc hl,bc
            jr nc,ch_full
            ld bc,(dleft)
            ld hl,0
ch_full:    ld (dleft),hl
            ret

dsave:      call mount
            ret c
            call lookname
            ret c
            ld a,(dfound)
            or a
            jr nz,sv_room
            ld a,(dfree)
            or a
            ld a,ERRDIRFULL
            scf
            ret z
sv_room:    ld hl,(dplen)       ; sectors needed: length / 254 rounded up
            ld de,0
sv_count:   ld a,h
            or l
            jr z,sv_counted
            inc de
            ld bc,254
            or a
            sbc hl,bc
            jr nc,sv_count
sv_counted: ld (dneed),de
            call countfree
            ld de,(dneed)
            or a
            sbc hl,de
            ld a,ERRFULL
            ret c
            ; the data, to sectors free in the directory in force
            ld hl,(dplen)
            ld (dleft),hl
            ld hl,(dpaddr)
            ld (dptr),hl
            ld hl,0
            ld (dent+12),hl
            ld hl,(dleft)
            ld a,h
            or l
            jr z,sv_entry
            call alloc
            ld (dent+12),hl
            ld (dsect),hl
sv_sector:  call chunk
            push bc
            ld hl,0
            ld a,(dleft)
            ld e,a
            ld a,(dleft+1)
            or e
            call nz,alloc
            ld (dnext),hl
            ld (buf),hl
            ld hl,buf+2
            ld de,buf+3
            ld bc,253
            ld (hl),0
            ldir
            pop bc
            ld a,b
            or c
            jr z,sv_write
            ld hl,(dptr)
            ld de,buf+2
            ldir
            ld (dptr),hl
sv_write:   ld hl,(dsect)
            call wrsec
            ret c
            ld hl,(dnext)
            ld (dsect),hl
            ld a,h
            or l
            jr nz,sv_sector
sv_entry:   ld hl,dpname
            ld de,dent
            ld bc,8
            ldir
            ld a,(dpkind)
            ld (de),a
            ld hl,(dplen)
            ld (dent+9),hl
            xor a
            ld (dent+11),a
            ld hl,(dneed)
            ld (dent+14),hl
            ld a,(dfound)
            or a
            call nz,freeold
            ret c
            ld a,1
            ld (dmode),a
            jp commit

dkill:      call mount
            ret c
            call lookname
            ret c
            ld a,(dfound)
            or a
            ld a,ERRNOTFOUND
            scf
            ret z
            call freeold
            ret c
            xor a
            ld (dmode),a
            jp commit

drename:    call mount
            ret c
            ld hl,dpnew
            ld (dlkname),hl
            call lookup
            ret c
            ld a,(dfound)
            or a
            ld a,ERREXISTS
            scf
            ret nz
            call lookname
            ret c
            ld a,(dfound)
            or a
            ld a,ERRNOTFOUND
            scf
            ret z
            ld hl,dold
            ld de,dent
            ld bc,16
            ldir
            ld hl,dpnew
            ld de,dent
            ld bc,8
            ldir
            ld a,1
            ld (dmode),a
            jp commit

; A = 0-3: mounts and reads that entry sector of the directory in force
; into buf (16 entries; byte 0 of an unused one is 0).
dentries:   push af
            call mount
            pop bc
            ret c
            ld a,(dcur)
            inc a
            add a,b
            ld l,a
            ld h,0
            jp rdsec

; ---------------------------------------------------------------------------
; The BASIC statements.

; DE at "DRn:NAME": dpdrive and dpname (blank-padded, as typed); DE after
; the name. SYNTAX ERROR for another device, a drive other than 0 and 1, or
; a name that is empty or over 8 characters.
dparse:     call dparse_dev
            ld hl,dpname
; A name at DE into the 8 bytes at HL.
dpword:     push hl
            ld b,8
dp_blank:   ld (hl),' '
            inc hl
            djnz dp_blank
            pop hl
            ld b,9
dp_name:    ld a,(de)
            cp 0Dh
            jr z,dp_end
            cp ':'
            jr z,dp_end
            cp ','
            jr z,dp_end
            cp ' '
            jr z,dp_end
            dec b
            jp z,err_syntax     ; over 8 characters
            ld (hl),a
            inc hl
            inc de
            jr dp_name
dp_end:     ld a,b
            cp 9
            jp z,err_syntax     ; no name
            ret

; SAVE DRn:NAME: the program's line records and end byte as file NAME.
bsave:      call dparse
            push de
            call progend        ; HL: the end byte
            ld de,progbase
            or a
            sbc hl,de
            inc hl
            ld (dplen),hl
            ld (dpaddr),de
            ld a,'B'
            ld (dpkind),a
            call dsave
            pop de
            jr c,doserror
            jp nextstmt

; LOAD DRn:NAME: the program replaces the one in memory. A load refused
; before it read anything (no such file, no disk, ...) keeps the program;
; a disk that fails part way leaves an empty program.
bload:      call bloadit
            jp warm

bloadit:    call dparse
            ld hl,progbase
            ld (dpaddr),hl
            ld hl,memtop-progbase
            ld (dplen),hl
            call dload
            jr c,bl_fail
            ld hl,(dplen)
            ld de,progbase-1
            add hl,de           ; the end byte
            call setend
            jp clearvars
bl_fail:    cp ERRDAMAGED
            jr nz,doserror
            push af
            call newprog
            call clearvars
            pop af
            ; fall through

; A = a DOS error code: its message, with the line number in a program.
doserror:   ld hl,m_memory
            cp ERRBIG
            jp z,error
            ld hl,dosmsgs
            ld b,a
de_find:    dec b
            jp z,error
de_skip:    ld a,(hl)
            inc hl
            or a
            jr nz,de_skip
            jr de_find

; RUN DRn:NAME: LOAD, then RUN from the first line.
brun:       call bloadit
            ld de,crbyte        ; the statement ends here
            jp st_run
crbyte:     db 0Dh

; KILL DRn:NAME
bkill:      inc de              ; past the keyword
            call dparse
            push de
            call dkill
            pop de
            jr c,doserror
            jp nextstmt

; NAME DRn:OLD AS NEW
bname:      inc de
            call dparse
            call skipsp
            cp 'A'
            jp nz,err_syntax
            inc de
            ld a,(de)
            cp 'S'
            jp nz,err_syntax
            inc de
            call skipsp
            ld hl,dpnew
            call dpword
            push de
            call drename
            pop de
            jr c,doserror
            jp nextstmt

; DIR [DRn:]: one line per file (name, PROGRAM or DATA, bytes), then the
; free sectors (254 bytes of data each).
bdir:       inc de
            xor a
            ld (dpdrive),a
            call atend
            jr z,bd_list
            call dparse_dev
bd_list:    push de
            ld c,0
bd_sec:     ld a,c
            push bc
            call dentries
            pop bc
            jr c,bd_fail
            ld hl,buf
            ld b,16
bd_ent:     ld a,(hl)
            or a
            jr z,bd_next
            push bc
            push hl
            ld b,8
bd_nm:      ld a,(hl)
            call putch
            inc hl
            djnz bd_nm
            ld a,(hl)           ; the kind
            ld hl,m_prog
            cp 'B'
            jr z,bd_kind
            ld hl,m_data
bd_kind:    call puts
            pop hl
            push hl
            ld de,9
            add hl,de
            ld e,(hl)
            inc hl
            ld d,(hl)
            ex de,hl
            call prnum
            call crlf
            pop hl
            pop bc
bd_next:    ld de,16
            add hl,de
            djnz bd_ent
            inc c
            ld a,c
            cp 4
            jr nz,bd_sec
            call dcheck
            jr c,bd_fail
            call prnum
            ld hl,m_dfree
            call puts
            pop de
            jp nextstmt
bd_fail:    pop de
            jp doserror

m_prog:     db " PROGRAM ", 0
m_data:     db " DATA    ", 0
m_dfree:     db " SECTORS FREE", 0Dh, 0

; DE at "DRn:" with no name after it.
dparse_dev: call skipsp
            cp 'D'
            jp nz,err_syntax
            inc de
            ld a,(de)
            cp 'R'
            jp nz,err_syntax
            inc de
            ld a,(de)
            sub '0'
            cp 2
            jp nc,err_syntax
            ld (dpdrive),a
            inc de
            ld a,(de)
            cp ':'
            jp nz,err_syntax
            inc de
            ret

dosmsgs:    db "FILE NOT FOUND", 0
            db "DISK FULL", 0
            db "DIRECTORY FULL", 0
            db "WRITE PROTECTED", 0
            db "NO DISK", 0
            db "NOT AN ORVANE DISK", 0
            db "FILE ALREADY OPEN", 0
            db "DISK DAMAGED", 0
            db "OUT OF MEMORY", 0
            db "FILE EXISTS", 0

dosend:
