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
ERRNOTOPEN:  equ 11
ERREOF:      equ 12
ERRCHANGED:  equ 13

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
dchan:      equ 75D0h           ; the data file being worked on (its record)
dprint:     equ 75D2h           ; the record of the file PRINT # writes to
dfirst:     equ 75D4h           ; the first error of closeall
dhint:      equ 75D6h           ; findfree looks from here: no sector below is free
dfname:     equ 75E0h           ; a file name given as a string, 0Dh after it

; Data files: NCHAN channels, #1 to #3. Channel n has a sector buffer at
; fbufs + (n-1)*256 (the link and 254 bytes, as on the disk) and a record
; at chans + (n-1)*128. The table is in use while dosfiles holds 'F'; the
; BASIC clears that byte at every start, so after power-on and reset no
; file is open (a file being written then keeps its old version).
NCHAN:      equ 3
fbufs:      equ 5800h           ; 5800h-5AFFh: the buffers
chans:      equ 5B00h           ; 5B00h-5C7Fh: the records
CHSIZE:     equ 128
CMODE:      equ 0               ; 0 closed, 'R' read, 'W' written
CDRV:       equ 1               ; drive
CNAME:      equ 2               ; name, 8 bytes
CFIRST:     equ 10              ; first sector
CSECT:      equ 12              ; written: the sector the buffer goes to; read: the next one to read
CPOS:       equ 14              ; bytes of the buffer used (written) or taken (read), 0-254
CLEN:       equ 15              ; 3 bytes: written so far, or still to read
CCOUNT:     equ 18              ; sectors written
CBUFH:      equ 20              ; high byte of the buffer's address
CCOL:       equ 21              ; the column PRINT # has reached
CMAP:       equ 32              ; 80 bytes: the sectors the file being written has taken

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
            jp bstmt            ; 6026h: a disk statement, DE at its keyword
            jp bprint           ; 6029h: PRINT #, DE at the #
            jp binput           ; 602Ch: INPUT #, DE at the #
            jp bget             ; 602Fh: GET #, DE at the #
            jp beof             ; 6032h: EOF, DE after the keyword
            jp fput             ; 6035h: A to the file PRINT # writes to
            jp closeall         ; 6038h: close every data file
            jp bline            ; 603Bh: LINE INPUT #, DE at the #

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

mount:      ld hl,FIRSTDATA
            ld (dhint),hl
            ld a,CARD           ; a transfer cut off by a reset is dropped
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
            push bc
            call taken
            pop bc
            jr nz,cf_used
            inc bc
cf_used:    inc hl
            jr cf_loop
cf_end:     ld h,b
            ld l,c
            ret

; HL = a free sector, now marked in use (there is one: callers counted).
alloc:      call findfree
            push hl
            call bitof
            or (hl)
            ld (hl),a
            pop hl
            ret

; HL = the first sector that is free: in the map in force and taken by no
; file being written on this drive. Carry and A = ERRFULL when none is.
; Sectors are only ever taken between mounts, so the search goes on from
; the last sector it found.
findfree:   ld hl,(dhint)
ff_loop:    push hl
            ld de,(dsects)
            or a
            sbc hl,de
            pop hl
            jr nc,ff_full
            call taken
            ld (dhint),hl
            ret z               ; carry is clear
            inc hl
            jr ff_loop
ff_full:    ld a,ERRFULL
            scf
            ret

; HL = a sector: Z when it is free, NZ when the map in force or a file
; being written on drive dpdrive holds it. Keeps HL, IX.
taken:      push hl
            push ix
            call bitof
            ld c,a
            and (hl)
            jr nz,tk_done
            ld de,-bmap
            add hl,de
            ex de,hl            ; DE: the byte's place in a map
            ld a,(dosfiles)
            cp 'F'
            jr nz,tk_free
            ld ix,chans
            ld b,NCHAN
tk_chan:    ld a,(ix+CMODE)
            cp 'W'
            jr nz,tk_next
            ld a,(dpdrive)
            cp (ix+CDRV)
            jr nz,tk_next
            push ix
            pop hl
            add hl,de
            ld a,c
            push de
            ld de,CMAP
            add hl,de
            pop de
            and (hl)
            jr nz,tk_done
tk_next:    push de
            ld de,CHSIZE
            add ix,de
            pop de
            djnz tk_chan
tk_free:    xor a
tk_done:    pop ix
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
            call chkopen
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
            call chkopen
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
            call chkopen
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

; ---------------------------------------------------------------------------
; Data files: PREPARE, OPEN, PRINT #, INPUT #, GET #, EOF, CLOSE.
;
; A file being written takes sectors that are free in the directory in
; force and taken by no other file being written; they are recorded in its
; channel's map only. Its sectors are written as they fill (the first one,
; empty, at PREPARE, so a disk that refuses writes says so at once), each
; holding the link to the next. CLOSE writes the last sector and then the
; directory, as SAVE does: until that directory is written the disk holds
; the old version of the file (or none), and the sectors written so far
; are free space.

; The statements the BASIC hands over by keyword, DE at the keyword.
bstmt:      ld a,(de)
            cp t_kill
            jp z,bkill
            cp t_name
            jp z,bname
            cp t_dir
            jp z,bdir
            inc de
            cp t_open
            jr z,bopen
            cp t_prepare
            jr z,bprepare
            cp t_close
            jp z,bclose
            jp err_syntax

; OPEN #n,"DRn:NAME": an existing file, read from its start.
bopen:      ld a,'R'
            jr bo_go
; PREPARE #n,"DRn:NAME": a new file, which replaces one of that name when
; it is closed.
bprepare:   ld a,'W'
bo_go:      push af
            call chanarg
            ld a,(ix+CMODE)
            or a
            ld a,ERROPEN        ; the channel is in use
            jp nz,doserror
            ld c,','
            call need
            call fname
            pop af
            push de
            ld ix,(dchan)
            cp 'W'
            jr z,bo_write
            ld c,'W'            ; a file being written is not read: its
            call chkmode        ; close would free what the reader reads
            jr c,bo_fail
            call mount
            jr c,bo_fail
            call lookname
            jr c,bo_fail
            ld ix,(dchan)       ; (the directory's routines use IX)
            ld a,(dfound)
            or a
            ld a,ERRNOTFOUND
            jr z,bo_fail
            call chname
            ld hl,(dold+12)
            ld (ix+CFIRST),l
            ld (ix+CFIRST+1),h
            ld (ix+CSECT),l
            ld (ix+CSECT+1),h
            ld hl,(dold+9)
            ld (ix+CLEN),l
            ld (ix+CLEN+1),h
            ld a,(dold+11)
            ld (ix+CLEN+2),a
            ld (ix+CPOS),254    ; the first read fetches a sector
            ld (ix+CMODE),'R'
            pop de
            jp nextstmt
bo_fail:    pop de
            jp doserror

bo_write:   call chkopen        ; open in any channel: FILE ALREADY OPEN
            jr c,bo_fail
            call mount
            jr c,bo_fail
            call lookname
            jr c,bo_fail
            ld a,(dfound)
            ld hl,dfree
            or (hl)
            ld a,ERRDIRFULL
            jr z,bo_fail
            ld ix,(dchan)
            call chname
            push ix             ; a clear map and an empty buffer
            pop hl
            ld de,CMAP
            add hl,de
            ld b,80
bw_map:     ld (hl),0
            inc hl
            djnz bw_map
            ld h,(ix+CBUFH)
            ld l,0
bw_buf:     ld (hl),0
            inc l
            jr nz,bw_buf
            xor a
            ld (ix+CLEN),a
            ld (ix+CLEN+1),a
            ld (ix+CLEN+2),a
            ld (ix+CPOS),a
            ld (ix+CCOL),a
            ld (ix+CCOUNT),1
            ld (ix+CCOUNT+1),a
            call findfree
            jr c,bo_fail
            ld (ix+CFIRST),l
            ld (ix+CFIRST+1),h
            call chtake
            ld hl,0
            call cwrite         ; the first sector, empty for now
            jr c,bo_fail
            ld (ix+CMODE),'W'
            pop de
            jp nextstmt

; The channel's name and drive from dpname and dpdrive.
chname:     ld a,(dpdrive)
            ld (ix+CDRV),a
            push ix
            pop hl
            inc hl
            inc hl
            ex de,hl
            ld hl,dpname
            ld bc,8
            ldir
            ret

; HL = a free sector: the file being written at IX takes it, as its
; current sector. Keeps HL.
chtake:     ld (ix+CSECT),l
            ld (ix+CSECT+1),h
            push hl
            call bitof
            ld c,a
            ld de,-bmap+CMAP
            add hl,de
            push ix
            pop de
            add hl,de
            ld a,c
            or (hl)
            ld (hl),a
            pop hl
            ret

; Writes the buffer of the file at IX, with the link HL, to its current
; sector (drive dpdrive).
cwrite:     ld (buf),hl
            ld h,(ix+CBUFH)
            ld l,2
            ld de,buf+2
            ld bc,254
            ldir
            ld l,(ix+CSECT)
            ld h,(ix+CSECT+1)
            jp wrsec

; Carry and A = ERRCHANGED when the map in force holds a sector the file
; at IX has taken: the disk in the drive is not the one the file was begun
; on, and nothing more of the file may be written to it.
chkmap:     push ix
            pop hl
            ld de,CMAP
            add hl,de
            ld de,bmap
            ld b,80
mp_loop:    ld a,(de)
            and (hl)
            jr nz,mp_bad
            inc hl
            inc de
            djnz mp_loop
            ret                 ; carry is clear after AND
mp_bad:     ld a,ERRCHANGED
            scf
            ret

; Carry and A = ERROPEN when a channel holds the file dpname of drive
; dpdrive; chkmode: a channel open the way C says ('W').
chkopen:    ld c,0
chkmode:    ld a,(dosfiles)
            cp 'F'
            jr nz,co_none
            push ix
            ld ix,chans
            ld b,NCHAN
co_chan:    ld a,(ix+CMODE)
            or a
            jr z,co_next
            inc c
            dec c
            jr z,co_any
            cp c
            jr nz,co_next
co_any:
            ld a,(dpdrive)
            cp (ix+CDRV)
            jr nz,co_next
            push ix
            pop hl
            inc hl
            inc hl
            ld de,dpname
            push bc
            call cmpname
            pop bc
            jr nz,co_next
            pop ix
            ld a,ERROPEN
            scf
            ret
co_next:    ld de,CHSIZE
            add ix,de
            djnz co_chan
            pop ix
co_none:    or a
            ret

; A file name as a string expression at DE: dpdrive, dpname; SYNTAX ERROR
; unless the whole string is "DRn:NAME".
fname:      call expr
            ld a,(vtype)
            cp 2
            jp nz,err_type
            push de
            ld a,(hl)
            inc hl
            ld e,(hl)
            inc hl
            ld d,(hl)
            ex de,hl
            cp 20
            jp nc,err_syntax
            ld de,dfname
            or a
            jr z,fn_copied
            ld c,a
            ld b,0
            ldir
fn_copied:  ld a,0Dh
            ld (de),a
            ld de,dfname
            call dparse
            ld a,(de)
            cp 0Dh
            jp nz,err_syntax
            pop de
            ret

; "#n" at DE (n 1-3, else BAD ARGUMENT): IX and dchan = its record, the
; table made ready.
chanarg:    ld c,'#'
            call need
            call getint
; HL = a channel number: IX and dchan = its record.
chanof:     ld a,h
            or a
            jp nz,err_argument
            ld a,l
            dec a
            cp NCHAN
            jp nc,err_argument
            push af
            ld a,(dosfiles)     ; the first use since the start: no file open
            cp 'F'
            jr z,chan_ready
            ld hl,chans
            ld bc,NCHAN*CHSIZE
chan_clear: ld (hl),0
            inc hl
            dec bc
            ld a,b
            or c
            jr nz,chan_clear
            ld a,'F'
            ld (dosfiles),a
chan_ready: pop af
            ld h,a
            ld l,0
            srl h
            rr l                ; (n-1) * 128
            ld bc,chans
            add hl,bc
            push hl
            pop ix
            ld (dchan),ix
            add a,fbufs/256
            ld (ix+CBUFH),a
            ret

; "#n" at DE for a channel open the way A says ('R' or 'W'), else FILE
; NOT OPEN.
chanmode:   push af
            call chanarg
            pop af
            cp (ix+CMODE)
            ret z
            ld a,ERRNOTOPEN
            jp doserror

; PRINT #n[,items]: the BASIC's PRINT, its output going to the file.
bprint:     ld a,'W'
            call chanmode
            ld (dprint),ix
            ld a,(ix+CCOL)
            ld (prtcol),a
            ld a,3              ; putch's device 3: fput
            ld (outdev),a
            call atend
            jp z,st_print
            cp ','
            jr z,bp_sep
            cp ';'
            jp nz,err_syntax
bp_sep:     inc de
            jp st_print

; A, from the BASIC's output: into the buffer of the file PRINT # writes
; to. A full buffer goes to its sector first, linked to a new one.
fput:       push ix
            ld ix,(dprint)
            ld c,a
            inc (ix+CCOL)
            cp 0Dh
            jr nz,fp_col
            ld (ix+CCOL),0
fp_col:     ld a,(ix+CPOS)
            cp 254
            jr c,fp_room
            push bc
            ld a,(ix+CDRV)
            ld (dpdrive),a
            call mount
            call nc,chkmap
            call nc,findfree
            jr c,fp_fail
            push hl
            call cwrite
            pop hl
            jr c,fp_fail
            call chtake
            inc (ix+CCOUNT)
            jr nz,fp_counted
            inc (ix+CCOUNT+1)
fp_counted: ld (ix+CPOS),0
            pop bc
            xor a
fp_room:    inc (ix+CPOS)
            add a,2
            ld l,a
            ld h,(ix+CBUFH)
            ld (hl),c
            inc (ix+CLEN)
            jr nz,fp_done
            inc (ix+CLEN+1)
            jr nz,fp_done
            inc (ix+CLEN+2)
fp_done:    pop ix
            ret
fp_fail:    pop bc              ; the byte is lost; what came before stays
            pop ix
            jp doserror

; The next byte of the file at (dchan): A, IX its record. Carry and A = an
; error code at the end (ERREOF) or when the disk fails.
cget:       ld ix,(dchan)
            ld a,(ix+CLEN)
            or (ix+CLEN+1)
            or (ix+CLEN+2)
            ld a,ERREOF
            scf
            ret z
            ld a,(ix+CPOS)
            cp 254
            jr c,cg_have
            ld a,(ix+CDRV)
            ld (dpdrive),a
            ld l,(ix+CSECT)
            ld h,(ix+CSECT+1)
            ld a,h
            or l
            ld a,ERRDAMAGED     ; the chain ends before the length does
            scf
            ret z
            call rdsec
            ret c
            ld hl,(buf)
            ld (ix+CSECT),l
            ld (ix+CSECT+1),h
            ld h,(ix+CBUFH)
            ld l,0
            ex de,hl
            ld hl,buf
            ld bc,256
            ldir
            xor a
            ld (ix+CPOS),a
cg_have:    inc (ix+CPOS)
            add a,2
            ld l,a
            ld h,(ix+CBUFH)
            ld a,(ix+CLEN)
            sub 1
            ld (ix+CLEN),a
            jr nc,cg_len
            ld a,(ix+CLEN+1)
            sub 1
            ld (ix+CLEN+1),a
            jr nc,cg_len
            dec (ix+CLEN+2)
cg_len:     ld a,(hl)
            or a
            ret

; INPUT #n,v[,v...]: the values from the file's lines, read as typed
; answers are (items separated by commas, strings quoted or bare); a line
; used up before the variables are gives the next line.
binput:     ld a,'R'
            call chanmode
            ld c,','
            call need
bi_line:    push de
            call rdline
            pop de
bi_var:     call resettemps
            call varaddr
            push hl
            ld a,(numtype)
            push af
            call answer
            jp c,err_type       ; not a number where one is asked for
            pop af
            pop bc
            call storeval
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jp nz,nextstmt
            inc de
            ld hl,(inptr)
            ld a,(hl)
            cp 0Dh
            jr nz,bi_var
            jr bi_line

; The next line of the file at (dchan) into inbuf, 0Dh after it: HL and
; inptr = inbuf, B = its length. END OF FILE when no byte is left; a line
; over 250 bytes goes on as the next one.
rdline:     call cacheclear     ; the line takes inbuf
            ld hl,inbuf
            ld b,0
rl_byte:    push hl
            push bc
            call cget
            pop bc
            pop hl
            jr nc,rl_got
            cp ERREOF
            jp nz,doserror
            inc b               ; the end of the file ends a line too, but
            dec b               ; none is left to start
            jp z,doserror
            jr rl_end
rl_got:     cp 0Dh
            jr z,rl_end
            ld (hl),a
            inc hl
            inc b
            ld a,b
            cp 250
            jr c,rl_byte
rl_end:     ld (hl),0Dh
            ld hl,inbuf
            ld (inptr),hl
            ret

; LINE INPUT #n,v$: the file's next line, commas, quotes and blanks
; included, into the string variable v$.
bline:      ld a,'R'
            call chanmode
            ld c,','
            call need
            call varaddr
            ld a,(numtype)
            cp 2
            jp nz,err_type
            push hl
            push de
            call rdline
            pop de
            ld a,b
            call newtemp
            pop bc
            ld a,2
            call storeval
            jp nextstmt

; GET #n,v: the next byte of the file: a string variable gets it as one
; character, a number variable its code.
bget:       ld a,'R'
            call chanmode
            ld c,','
            call need
            call varaddr
            push hl
            ld a,(numtype)
            push af
            push de
            call cget
            pop de
            jp c,doserror
            ld l,a
            ld h,0
            call intresult
            pop af
            push af
            cp 2
            jr nz,bg_store
            ld a,l
            ld (strbuf),a
            ld hl,strbuf
            ld a,1
            call newtemp
            ld a,2
            ld (vtype),a
bg_store:   pop af
            pop bc
            call storeval
            jp nextstmt

; EOF(n): -1 when a file open for reading has no byte left (and for a
; file being written), else 0.
beof:       call parenarg
            call toint
            push de
            call chanof
            pop de
            ld a,(ix+CMODE)
            or a
            ld a,ERRNOTOPEN
            jp z,doserror
            ld hl,-1
            ld a,(ix+CMODE)
            cp 'W'
            jp z,intresult
            ld a,(ix+CLEN)
            or (ix+CLEN+1)
            or (ix+CLEN+2)
            jp z,intresult
            inc hl
            jp intresult

; CLOSE: every file; CLOSE #n[,#n...]: those (one not open is no error).
bclose:     call atend
            jr nz,bc_list
            push de
            call closeall
            pop de
            jp nextstmt
bc_list:    call chanarg
            push de
            call closech
            pop de
            jp c,doserror
            ld a,(de)
            cp ' '
            call z,skipsp
            cp ','
            jp nz,nextstmt
            inc de
            jr bc_list

; Closes every file; the first failure is reported once all are closed.
; Keeps BC, DE, HL and IX (the BASIC calls it from clearvars).
closeall:   ld a,(dosfiles)
            cp 'F'
            ret nz
            push bc
            push de
            push hl
            push ix
            xor a
            ld (dfirst),a
            ld ix,chans
            ld b,NCHAN
ca_chan:    push bc
            push ix
            call closech
            pop ix
            pop bc
            jr nc,ca_next
            ld c,a
            ld a,(dfirst)
            or a
            jr nz,ca_next
            ld a,c
            ld (dfirst),a
ca_next:    ld de,CHSIZE
            add ix,de
            djnz ca_chan
            pop ix
            pop hl
            pop de
            pop bc
            ld a,(dfirst)
            or a
            ret z
            jp doserror

; Closes the file at IX. A file being written becomes the file of its
; name: the last sector, then the directory. The channel is free
; afterwards whatever happens (on a failure the disk keeps the old
; version). Carry and A = an error code.
closech:    ld (dchan),ix
            ld a,(ix+CMODE)
            ld (ix+CMODE),0
            cp 'W'
            jr z,cl_write
            or a
            ret
cl_write:   ld a,(ix+CDRV)
            ld (dpdrive),a
            push ix
            pop hl
            inc hl
            inc hl
            ld de,dpname
            ld bc,8
            ldir
            call mount
            ret c
            call chkmap
            ret c
            ld hl,0
            call cwrite
            ret c
            call lookname
            ret c
            ld ix,(dchan)
            ld hl,dpname        ; the entry
            ld de,dent
            ld bc,8
            ldir
            ld a,'D'
            ld (de),a
            ld a,(ix+CLEN)
            ld (dent+9),a
            ld a,(ix+CLEN+1)
            ld (dent+10),a
            ld a,(ix+CLEN+2)
            ld (dent+11),a
            or (ix+CLEN+1)
            or (ix+CLEN)
            ld hl,0
            ld (dent+12),hl
            ld (dent+14),hl
            jr z,cl_empty       ; no byte: no sector, the first one is free again
            ld l,(ix+CFIRST)
            ld h,(ix+CFIRST+1)
            ld (dent+12),hl
            ld l,(ix+CCOUNT)
            ld h,(ix+CCOUNT+1)
            ld (dent+14),hl
            push ix             ; its sectors join the map
            pop hl
            ld de,CMAP
            add hl,de
            ld de,bmap
            ld b,80
cl_map:     ld a,(de)
            or (hl)
            ld (de),a
            inc hl
            inc de
            djnz cl_map
cl_empty:   ld a,(dfound)
            or a
            call nz,freeold
            ret c
            ld a,1
            ld (dmode),a
            jp commit

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
            db "FILE NOT OPEN", 0
            db "END OF FILE", 0
            db "DISK CHANGED", 0

dosend:
