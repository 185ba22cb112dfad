<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sv_SE" sourcelanguage="en_GB">
<context>
    <name>Debugger</name>
    <message>
        <source>Back to breakpoint</source>
        <translation>Tillbaka till brytpunkt</translation>
    </message>
    <message>
        <source>Back a frame</source>
        <translation>En bild bakåt</translation>
    </message>
    <message>
        <source>Who wrote it?</source>
        <translation>Vem skrev den?</translation>
    </message>
    <message>
        <source>Back to the instruction that last wrote the chosen byte</source>
        <translation>Tillbaka till instruktionen som senast skrev den valda byten</translation>
    </message>
    <message>
        <source>Choose a byte of the memory first.</source>
        <translation>Välj först en byte i minnet.</translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%1 vid %2</translation>
    </message>
    <message>
        <source>%1 found.</source>
        <translation>%1 hittade.</translation>
    </message>
    <message>
        <source>%1 instructions kept</source>
        <translation>%1 instruktioner sparade</translation>
    </message>
    <message>
        <source>%1 symbols read, %2 lines skipped; %3 known.</source>
        <translation>%1 symboler lästa, %2 rader överhoppade; %3 kända.</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Lägg till</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adress</translation>
    </message>
    <message>
        <source>Address or symbol</source>
        <translation>Adress eller symbol</translation>
    </message>
    <message>
        <source>BASIC line %1</source>
        <translation>BASIC-rad %1</translation>
    </message>
    <message>
        <source>Break on BASIC line</source>
        <translation>Stanna på BASIC-rad</translation>
    </message>
    <message>
        <source>Breakpoint</source>
        <translation>Brytpunkt</translation>
    </message>
    <message>
        <source>Breakpoint removed at %1</source>
        <translation>Brytpunkt borttagen vid %1</translation>
    </message>
    <message>
        <source>Breakpoint set at %1</source>
        <translation>Brytpunkt satt vid %1</translation>
    </message>
    <message>
        <source>Breakpoints</source>
        <translation>Brytpunkter</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Byte</translation>
    </message>
    <message>
        <source>Choose a line of the disassembly first.</source>
        <translation>Välj först en rad i disassembleringen.</translation>
    </message>
    <message>
        <source>Choose execute, read or write.</source>
        <translation>Välj körning, läsning eller skrivning.</translation>
    </message>
    <message>
        <source>Condition</source>
        <translation>Villkor</translation>
    </message>
    <message>
        <source>Condition, e.g. A=0 or HL&gt;7C00</source>
        <translation>Villkor, t.ex. A=0 eller HL&gt;7C00</translation>
    </message>
    <message>
        <source>Disassembly at</source>
        <translation>Disassemblering vid</translation>
    </message>
    <message>
        <source>Execute</source>
        <translation>Körning</translation>
    </message>
    <message>
        <source>Find next</source>
        <translation>Sök nästa</translation>
    </message>
    <message>
        <source>Find text</source>
        <translation>Sök text</translation>
    </message>
    <message>
        <source>Follow nothing</source>
        <translation>Följ inget</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Från</translation>
    </message>
    <message>
        <source>Go to</source>
        <translation>Gå till</translation>
    </message>
    <message>
        <source>Halted</source>
        <translation>Stoppad (HALT)</translation>
    </message>
    <message>
        <source>Hit count</source>
        <translation>Antal träffar</translation>
    </message>
    <message>
        <source>Hit count </source>
        <translation>Antal träffar </translation>
    </message>
    <message>
        <source>Hits</source>
        <translation>Träffar</translation>
    </message>
    <message>
        <source>Instruction</source>
        <translation>Instruktion</translation>
    </message>
    <message>
        <source>Kinds</source>
        <translation>Slag</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Etikett</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Minne</translation>
    </message>
    <message>
        <source>Memory at</source>
        <translation>Minne vid</translation>
    </message>
    <message>
        <source>No BASIC line running (direct mode).</source>
        <translation>Ingen BASIC-rad körs (direktläge).</translation>
    </message>
    <message>
        <source>Not a condition: %1</source>
        <translation>Inte ett villkor: %1</translation>
    </message>
    <message>
        <source>Not an address or symbol: %1</source>
        <translation>Inte en adress eller symbol: %1</translation>
    </message>
    <message>
        <source>Orvane Debugger</source>
        <translation>Orvane felsökare</translation>
    </message>
    <message>
        <source>ROM</source>
        <translation>ROM</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Läsning</translation>
    </message>
    <message>
        <source>Read watch on %1</source>
        <translation>Läsbevakning på %1</translation>
    </message>
    <message>
        <source>Record the last 100,000 instructions</source>
        <translation>Spara de senaste 100 000 instruktionerna</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Ta bort</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Kör</translation>
    </message>
    <message>
        <source>Run to cursor</source>
        <translation>Kör till markören</translation>
    </message>
    <message>
        <source>Run to next frame</source>
        <translation>Kör till nästa bild</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Kör</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>Skärm</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Steg</translation>
    </message>
    <message>
        <source>Step back</source>
        <translation>Steg bakåt</translation>
    </message>
    <message>
        <source>Step into</source>
        <translation>Stega in</translation>
    </message>
    <message>
        <source>Step out</source>
        <translation>Stega ut</translation>
    </message>
    <message>
        <source>Step over</source>
        <translation>Stega över</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppa</translation>
    </message>
    <message>
        <source>Stop when BASIC line %1 starts.</source>
        <translation>Stanna när BASIC-rad %1 börjar.</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Stoppad</translation>
    </message>
    <message>
        <source>Symbols...</source>
        <translation>Symboler...</translation>
    </message>
    <message>
        <source>T-states %1, frame %2</source>
        <translation>T-tillstånd %1, bild %2</translation>
    </message>
    <message>
        <source>The running BASIC is not the open firmware.</source>
        <translation>Den BASIC som körs är inte den öppna firmwaren.</translation>
    </message>
    <message>
        <source>To</source>
        <translation>Till</translation>
    </message>
    <message>
        <source>Trace</source>
        <translation>Spårning</translation>
    </message>
    <message>
        <source>Trace of %1 instructions written to %2.</source>
        <translation>Spårning av %1 instruktioner skriven till %2.</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Skrivning</translation>
    </message>
    <message>
        <source>Write to file...</source>
        <translation>Skriv till fil...</translation>
    </message>
    <message>
        <source>Write watch on %1</source>
        <translation>Skrivbevakning på %1</translation>
    </message>
</context>
<context>
    <name>Dialog</name>
    <message>
        <source>Messages</source>
        <translation>Meddelanden</translation>
    </message>
</context>
<context>
    <name>Keyboard</name>
    <message>
        <source>&lt; and @ (É)</source>
        <translation>&lt; och @ (É)</translation>
    </message>
    <message>
        <source>&gt; _</source>
        <translation>&gt; _</translation>
    </message>
    <message>
        <source>key left of 1 (` on US, § on Swedish)</source>
        <translation>tangenten till vänster om 1 (` på amerikanska, § på svenska tangentbord)</translation>
    </message>
    <message>
        <source>Shift gives _</source>
        <translation>Skift ger _</translation>
    </message>
    <message>
        <source>Backspace, Left arrow</source>
        <translation>Backsteg, vänsterpil</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Tangentbord</translation>
    </message>
    <message>
        <source>Natural keyboard (Options &gt; Keyboard &gt; Natural, the default): type what you see. The character your keyboard layout produces is typed on the ABC80 (&quot; on a US keyboard types &quot;, Shift+; types :); characters the ABC80 lacks are dropped with a note in the status bar. Keys without a character (Return, Backspace, the arrows, Ctrl combinations) act by position.

Positional keyboard: every key is the ABC80 key in its place, laid out as on a Swedish keyboard:</source>
        <translation>Naturligt tangentbord (Inställningar &gt; Tangentbord &gt; Naturligt, förvalt): skriv det du ser. Tecknet som din tangentbordslayout ger skrivs på ABC80 (&quot; på ett amerikanskt tangentbord skriver &quot;, Skift+; skriver :); tecken som ABC80 saknar ignoreras med en anteckning i statusfältet. Tangenter utan tecken (Retur, Backsteg, piltangenterna, Ctrl-kombinationer) verkar efter läge.

Positionsbaserat tangentbord: varje tangent är ABC80-tangenten på sin plats, ordnade som på ett svenskt tangentbord:</translation>
    </message>
    <message>
        <source>ABC80 key</source>
        <translation>ABC80-tangent</translation>
    </message>
    <message>
        <source>Host key</source>
        <translation>Datorns tangent</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Anmärkning</translation>
    </message>
    <message>
        <source>A-Z, 0-9, space</source>
        <translation>A-Z, 0-9, mellanslag</translation>
    </message>
    <message>
        <source>the same keys</source>
        <translation>samma tangenter</translation>
    </message>
    <message>
        <source>letters type lower case, Shift for capitals</source>
        <translation>bokstäver skrivs som gemener, Skift ger versaler</translation>
    </message>
    <message>
        <source>RETURN</source>
        <translation>RETURN</translation>
    </message>
    <message>
        <source>Return, keypad Enter</source>
        <translation>Retur, Enter på numeriska tangentbordet</translation>
    </message>
    <message>
        <source>ends a line</source>
        <translation>avslutar en rad</translation>
    </message>
    <message>
        <source>&lt;- (back)</source>
        <translation>&lt;- (bakåt)</translation>
    </message>
    <message>
        <source>Backspace</source>
        <translation>Backsteg</translation>
    </message>
    <message>
        <source>deletes left</source>
        <translation>raderar åt vänster</translation>
    </message>
    <message>
        <source>-&gt;</source>
        <translation>-&gt;</translation>
    </message>
    <message>
        <source>Right arrow</source>
        <translation>Högerpil</translation>
    </message>
    <message>
        <source>moves right (code 09h)</source>
        <translation>flyttar åt höger (kod 09h)</translation>
    </message>
    <message>
        <source>&lt; and &gt;, @ (É)</source>
        <translation>&lt; och &gt;, @ (É)</translation>
    </message>
    <message>
        <source>key left of Z (Insert)</source>
        <translation>tangenten till vänster om Z (Insert)</translation>
    </message>
    <message>
        <source>Ctrl gives DEL (7Fh)</source>
        <translation>Ctrl ger DEL (7Fh)</translation>
    </message>
    <message>
        <source>Å Ü (} ~)</source>
        <translation>Å Ü (} ~)</translation>
    </message>
    <message>
        <source>the two keys right of P</source>
        <translation>de två tangenterna till höger om P</translation>
    </message>
    <message>
        <source>Shift: ] ^</source>
        <translation>Skift: ] ^</translation>
    </message>
    <message>
        <source>Ö Ä ({ |)</source>
        <translation>Ö Ä ({ |)</translation>
    </message>
    <message>
        <source>the two keys right of L</source>
        <translation>de två tangenterna till höger om L</translation>
    </message>
    <message>
        <source>Shift: \ [</source>
        <translation>Skift: \ [</translation>
    </message>
    <message>
        <source>+ ?, é</source>
        <translation>+ ?, é</translation>
    </message>
    <message>
        <source>the two keys right of 0</source>
        <translation>de två tangenterna till höger om 0</translation>
    </message>
    <message>
        <source>&apos; *</source>
        <translation>&apos; *</translation>
    </message>
    <message>
        <source>key left of Return (\ on US)</source>
        <translation>tangenten till vänster om Retur (\ på amerikanska)</translation>
    </message>
    <message>
        <source>, ; . : - _</source>
        <translation>, ; . : - _</translation>
    </message>
    <message>
        <source>the three keys left of right Shift</source>
        <translation>de tre tangenterna till vänster om högra Skift</translation>
    </message>
    <message>
        <source>Ctrl+Shift+- gives _</source>
        <translation>Ctrl+Skift+- ger _</translation>
    </message>
    <message>
        <source>0 =</source>
        <translation>0 =</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>the 0 key sits right of 9</source>
        <translation>0-tangenten sitter till höger om 9</translation>
    </message>
    <message>
        <source>CTRL</source>
        <translation>CTRL</translation>
    </message>
    <message>
        <source>Ctrl</source>
        <translation>Ctrl</translation>
    </message>
    <message>
        <source>Ctrl+letter types control codes 01h-1Ah</source>
        <translation>Ctrl+bokstav skriver styrkoderna 01h-1Ah</translation>
    </message>
    <message>
        <source>SHIFT</source>
        <translation>SHIFT</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Skift</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Återställ</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>warm start: the BASIC program stays</source>
        <translation>varmstart: BASIC-programmet finns kvar</translation>
    </message>
    <message>
        <source>Hard reset</source>
        <translation>Hård återställning</translation>
    </message>
    <message>
        <source>Alt+F1</source>
        <translation>Alt+F1</translation>
    </message>
    <message>
        <source>clears memory</source>
        <translation>tömmer minnet</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;Messages</source>
        <translation>&amp;Meddelanden</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Arkiv</translation>
    </message>
    <message>
        <source>&amp;Autostart...</source>
        <translation>&amp;Autostart...</translation>
    </message>
    <message>
        <source>&amp;Load program...</source>
        <translation>&amp;Läs in program...</translation>
    </message>
    <message>
        <source>&amp;Save as...</source>
        <translation>&amp;Spara som...</translation>
    </message>
    <message>
        <source>&amp;Memory dump</source>
        <translation>&amp;Minnesdump</translation>
    </message>
    <message>
        <source>Sa&amp;ve state...</source>
        <translation>Spara &amp;tillstånd...</translation>
    </message>
    <message>
        <source>L&amp;oad state...</source>
        <translation>Läs in t&amp;illstånd...</translation>
    </message>
    <message>
        <source>&amp;Quick states</source>
        <translation>S&amp;nabbtillstånd</translation>
    </message>
    <message>
        <source>Save slot &amp;1</source>
        <translation>Spara i plats &amp;1</translation>
    </message>
    <message>
        <source>Save slot &amp;2</source>
        <translation>Spara i plats &amp;2</translation>
    </message>
    <message>
        <source>Save slot &amp;3</source>
        <translation>Spara i plats &amp;3</translation>
    </message>
    <message>
        <source>Save slot &amp;4</source>
        <translation>Spara i plats &amp;4</translation>
    </message>
    <message>
        <source>Load slot 1</source>
        <translation>Läs in plats 1</translation>
    </message>
    <message>
        <source>Load slot 2</source>
        <translation>Läs in plats 2</translation>
    </message>
    <message>
        <source>Load slot 3</source>
        <translation>Läs in plats 3</translation>
    </message>
    <message>
        <source>Load slot 4</source>
        <translation>Läs in plats 4</translation>
    </message>
    <message>
        <source>Load slot %1 (%2)</source>
        <translation>Läs in plats %1 (%2)</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>tom</translation>
    </message>
    <message>
        <source>A&amp;ttach disk</source>
        <translation>Anslut s&amp;kiva</translation>
    </message>
    <message>
        <source>Drive DR&amp;0 - ...</source>
        <translation>Enhet DR&amp;0 - ...</translation>
    </message>
    <message>
        <source>Drive DR&amp;1 - ...</source>
        <translation>Enhet DR&amp;1 - ...</translation>
    </message>
    <message>
        <source>Drive DR&amp;%1 - ...</source>
        <translation>Enhet DR&amp;%1 - ...</translation>
    </message>
    <message>
        <source>Ne&amp;w disk image...</source>
        <translation>N&amp;y skivavbild...</translation>
    </message>
    <message>
        <source>Dis&amp;k drives</source>
        <translation>Skivenhete&amp;r</translation>
    </message>
    <message>
        <source>Write-protect DR&amp;0</source>
        <translation>Skrivskydda DR&amp;0</translation>
    </message>
    <message>
        <source>Write-protect DR&amp;1</source>
        <translation>Skrivskydda DR&amp;1</translation>
    </message>
    <message>
        <source>&amp;Detach DR0</source>
        <translation>&amp;Koppla från DR0</translation>
    </message>
    <message>
        <source>D&amp;etach DR1</source>
        <translation>K&amp;oppla från DR1</translation>
    </message>
    <message>
        <source>&amp;Detach disks</source>
        <translation>Koppla &amp;från skivor</translation>
    </message>
    <message>
        <source>&amp;Copy text to clipboard</source>
        <translation>K&amp;opiera text till urklipp</translation>
    </message>
    <message>
        <source>Copy screen as &amp;bitmap</source>
        <translation>Kopiera skärmen som &amp;bild</translation>
    </message>
    <message>
        <source>&amp;Paste from clipboard</source>
        <translation>Klistra in från &amp;urklipp</translation>
    </message>
    <message>
        <source>Media s&amp;napshots</source>
        <translation>&amp;Ögonblicksbilder</translation>
    </message>
    <message>
        <source>&amp;Save screenshot as...</source>
        <translation>&amp;Spara skärmbild som...</translation>
    </message>
    <message>
        <source>Save to &amp;WAV...</source>
        <translation>Spara till &amp;WAV...</translation>
    </message>
    <message>
        <source>&amp;Quick screenshot (PNG)</source>
        <translation>S&amp;nabb skärmbild (PNG)</translation>
    </message>
    <message>
        <source>&amp;Recent files</source>
        <translation>S&amp;enaste filer</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>A&amp;vsluta</translation>
    </message>
    <message>
        <source>M&amp;achine</source>
        <translation>&amp;Dator</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Paus</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Återställ</translation>
    </message>
    <message>
        <source>&amp;Hard reset</source>
        <translation>&amp;Hård återställning</translation>
    </message>
    <message>
        <source>Basic R&amp;OM</source>
        <translation>BASIC-R&amp;OM</translation>
    </message>
    <message>
        <source>&amp;Old ROM (Checksum: 11273)</source>
        <translation>&amp;Gammalt ROM (kontrollsumma: 11273)</translation>
    </message>
    <message>
        <source>&amp;New ROM (Checksum: 9913)</source>
        <translation>&amp;Nytt ROM (kontrollsumma: 9913)</translation>
    </message>
    <message>
        <source>&amp;External ROM (&apos;ZaVUR80BASIC.ROM&apos;)</source>
        <translation>&amp;Externt ROM (&apos;ZaVUR80BASIC.ROM&apos;)</translation>
    </message>
    <message>
        <source>&amp;Old ROM slot: Open firmware</source>
        <translation>&amp;Gamla ROM-platsen: öppen programvara</translation>
    </message>
    <message>
        <source>&amp;New ROM slot: Open firmware</source>
        <translation>&amp;Nya ROM-platsen: öppen programvara</translation>
    </message>
    <message>
        <source>&amp;Disk OS</source>
        <translation>&amp;Diskoperativsystem</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <translation>&amp;Inget</translation>
    </message>
    <message>
        <source>&amp;ABCDOS</source>
        <translation>&amp;ABCDOS</translation>
    </message>
    <message>
        <source>&amp;UFDDOS</source>
        <translation>&amp;UFDDOS</translation>
    </message>
    <message>
        <source>&amp;Open DOS</source>
        <translation>&amp;Open DOS</translation>
    </message>
    <message>
        <source> (not installed)</source>
        <translation> (inte installerat)</translation>
    </message>
    <message>
        <source>&amp;Interactive monitor</source>
        <translation>&amp;Interaktiv monitor</translation>
    </message>
    <message>
        <source>De&amp;bugger...</source>
        <translation>&amp;Felsökare...</translation>
    </message>
    <message>
        <source>&amp;Tape</source>
        <translation>&amp;Band</translation>
    </message>
    <message>
        <source>&amp;Insert tape...</source>
        <translation>&amp;Sätt i band...</translation>
    </message>
    <message>
        <source>&amp;Record tape...</source>
        <translation>Spela &amp;in band...</translation>
    </message>
    <message>
        <source>Re&amp;wind</source>
        <translation>Spola &amp;tillbaka</translation>
    </message>
    <message>
        <source>&amp;Eject</source>
        <translation>&amp;Mata ut</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Inställningar</translation>
    </message>
    <message>
        <source>&amp;Video driver</source>
        <translation>&amp;Bilddrivrutin</translation>
    </message>
    <message>
        <source>&amp;Software</source>
        <translation>&amp;Programvara</translation>
    </message>
    <message>
        <source>&amp;Accelerated</source>
        <translation>&amp;Accelererad</translation>
    </message>
    <message>
        <source>&amp;OpenGL</source>
        <translation>&amp;OpenGL</translation>
    </message>
    <message>
        <source>&amp;Keep aspect ratio (4:3)</source>
        <translation>Behåll &amp;proportionerna (4:3)</translation>
    </message>
    <message>
        <source>&amp;Full screen</source>
        <translation>&amp;Helskärm</translation>
    </message>
    <message>
        <source>&amp;Speed</source>
        <translation>&amp;Fart</translation>
    </message>
    <message>
        <source>&amp;No limit</source>
        <translation>&amp;Ingen gräns</translation>
    </message>
    <message>
        <source>&amp;20%</source>
        <translation>&amp;20%</translation>
    </message>
    <message>
        <source>&amp;50%</source>
        <translation>&amp;50%</translation>
    </message>
    <message>
        <source>&amp;100%</source>
        <translation>&amp;100%</translation>
    </message>
    <message>
        <source>2&amp;00%</source>
        <translation>2&amp;00%</translation>
    </message>
    <message>
        <source>&amp;400%</source>
        <translation>&amp;400%</translation>
    </message>
    <message>
        <source>&amp;800%</source>
        <translation>&amp;800%</translation>
    </message>
    <message>
        <source>&amp;Cycle based</source>
        <translation>&amp;Cykelbaserad</translation>
    </message>
    <message>
        <source>S&amp;ound driver</source>
        <translation>&amp;Ljuddrivrutin</translation>
    </message>
    <message>
        <source>&amp;No sound</source>
        <translation>&amp;Inget ljud</translation>
    </message>
    <message>
        <source>&amp;SDL audio</source>
        <translation>&amp;SDL-ljud</translation>
    </message>
    <message>
        <source>&amp;ALSA</source>
        <translation>&amp;ALSA</translation>
    </message>
    <message>
        <source>&amp;Tape sound</source>
        <translation>Ba&amp;ndljud</translation>
    </message>
    <message>
        <source>F&amp;ast tape</source>
        <translation>&amp;Snabbt band</translation>
    </message>
    <message>
        <source>Key&amp;board</source>
        <translation>&amp;Tangentbord</translation>
    </message>
    <message>
        <source>&amp;Natural (type what you see)</source>
        <translation>&amp;Naturligt (skriv det du ser)</translation>
    </message>
    <message>
        <source>&amp;Positional (ABC80 key positions)</source>
        <translation>&amp;Positionsbaserat (ABC80:s tangentlägen)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>Sp&amp;råk</translation>
    </message>
    <message>
        <source>&amp;Automatic (the system&apos;s language)</source>
        <translation>&amp;Automatiskt (systemets språk)</translation>
    </message>
    <message>
        <source>&amp;English</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <source>&amp;Svenska</source>
        <translation>&amp;Svenska</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hjälp</translation>
    </message>
    <message>
        <source>&amp;Keyboard</source>
        <translation>&amp;Tangentbord</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Om Orvane</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>Loaded %1.</source>
        <translation>%1 inläst.</translation>
    </message>
    <message>
        <source>Cannot load %1: %2.</source>
        <translation>Kan inte läsa in %1: %2.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2.</source>
        <translation>Kan inte skriva %1: %2.</translation>
    </message>
    <message>
        <source>Cannot open %1: %2.</source>
        <translation>Kan inte öppna %1: %2.</translation>
    </message>
    <message>
        <source>Cannot save %1: %2.</source>
        <translation>Kan inte spara %1: %2.</translation>
    </message>
    <message>
        <source>Cannot save %1: only .bac (a program), .bas (its text) and .wav (a tape recording) can be saved. Nothing was written.</source>
        <translation>Kan inte spara %1: bara .bac (ett program), .bas (dess text) och .wav (en bandinspelning) kan sparas. Inget skrevs.</translation>
    </message>
    <message>
        <source>Cannot save %1 while the deck records to %2; eject it first.</source>
        <translation>Kan inte spara %1 medan bandspelaren spelar in på %2; mata ut bandet först.</translation>
    </message>
    <message>
        <source>File saved: %1.</source>
        <translation>Filen sparad: %1.</translation>
    </message>
    <message>
        <source>Saved %1.</source>
        <translation>Sparad: %1.</translation>
    </message>
    <message>
        <source>State saved to %1.</source>
        <translation>Tillståndet sparat i %1.</translation>
    </message>
    <message>
        <source>State loaded from %1.</source>
        <translation>Tillståndet inläst från %1.</translation>
    </message>
    <message>
        <source>State loaded from %1. %2</source>
        <translation>Tillståndet inläst från %1. %2</translation>
    </message>
    <message>
        <source>Tape in the deck: %1 (%2). LOAD CAS: reads it.</source>
        <translation>Band i bandspelaren: %1 (%2). LOAD CAS: läser det.</translation>
    </message>
    <message>
        <source>%1 is in the deck to play. Eject it before recording.</source>
        <translation>%1 ligger i bandspelaren för uppspelning. Mata ut det innan du spelar in.</translation>
    </message>
    <message>
        <source>Recording to %1: eject it (ending the recording) before inserting a tape.</source>
        <translation>Inspelning till %1: mata ut bandet (inspelningen avslutas) innan du sätter i ett band.</translation>
    </message>
    <message>
        <source>Recording to %1 finished; recording to %2.</source>
        <translation>Inspelningen till %1 är klar; spelar in till %2.</translation>
    </message>
    <message>
        <source>Recording to %1: SAVE CAS: writes onto it.</source>
        <translation>Spelar in till %1: SAVE CAS: skriver på bandet.</translation>
    </message>
    <message>
        <source>Tape rewound: %1.</source>
        <translation>Bandet tillbakaspolat: %1.</translation>
    </message>
    <message>
        <source>A recording is not rewound; eject it to finish it.</source>
        <translation>En inspelning spolas inte tillbaka; mata ut bandet för att avsluta den.</translation>
    </message>
    <message>
        <source>No tape in the deck.</source>
        <translation>Inget band i bandspelaren.</translation>
    </message>
    <message>
        <source>Tape recording stopped: %1.</source>
        <translation>Bandinspelningen avbröts: %1.</translation>
    </message>
    <message>
        <source>Recording finished: %1.</source>
        <translation>Inspelningen klar: %1.</translation>
    </message>
    <message>
        <source>Recording finished: %1, %2</source>
        <translation>Inspelningen klar: %1, %2</translation>
    </message>
    <message>
        <source>Tape ejected: %1.</source>
        <translation>Bandet utmatat: %1.</translation>
    </message>
    <message>
        <source>Cannot record the sound to %1: it is the tape in the cassette deck.</source>
        <translation>Kan inte spela in ljudet till %1: det är bandet i kassettbandspelaren.</translation>
    </message>
    <message>
        <source>Cannot record the sound to %1: %2.</source>
        <translation>Kan inte spela in ljudet till %1: %2.</translation>
    </message>
    <message>
        <source>Recording the sound to %1.</source>
        <translation>Spelar in ljudet till %1.</translation>
    </message>
    <message>
        <source>Sound recording stopped: %1.</source>
        <translation>Ljudinspelningen avbröts: %1.</translation>
    </message>
    <message>
        <source>Sound recording finished: %1.</source>
        <translation>Ljudinspelningen klar: %1.</translation>
    </message>
    <message>
        <source>Sound recording %1 kB so far, press Alt+U to stop...</source>
        <translation>Ljudinspelning, %1 kB hittills; Alt+U stoppar...</translation>
    </message>
    <message>
        <source>%1 attached to DR%2.</source>
        <translation>%1 ansluten till DR%2.</translation>
    </message>
    <message>
        <source>Drive DR%1 - %2: %3.</source>
        <translation>Enhet DR%1 - %2: %3.</translation>
    </message>
    <message>
        <source>Drive DR%1 - %2</source>
        <translation>Enhet DR%1 - %2</translation>
    </message>
    <message>
        <source>Disk: %1 side(s), %2 tracks, %3 sectors, %4 kB.</source>
        <translation>Skiva: %1 sida/sidor, %2 spår, %3 sektorer, %4 kB.</translation>
    </message>
    <message>
        <source>Fast tape: full speed while the tape moves, sound muted.</source>
        <translation>Snabbt band: full fart medan bandet går, ljudet avstängt.</translation>
    </message>
    <message>
        <source>Fast tape: the tape stopped, back to %1.</source>
        <translation>Snabbt band: bandet stannade, tillbaka till %1.</translation>
    </message>
    <message>
        <source>Screenshot saved to %1.</source>
        <translation>Skärmbilden sparad i %1.</translation>
    </message>
    <message>
        <source>Cannot write the screenshot %1: %2.</source>
        <translation>Kan inte skriva skärmbilden %1: %2.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1 for screenshots: %2.</source>
        <translation>Kan inte skapa mappen %1 för skärmbilder: %2.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1 for screenshots.</source>
        <translation>Kan inte skapa mappen %1 för skärmbilder.</translation>
    </message>
    <message>
        <source>Memory dump to %1/dump.txt and dump.bin</source>
        <translation>Minnesdump till %1/dump.txt och dump.bin</translation>
    </message>
    <message>
        <source>Cannot write the memory dump in %1.</source>
        <translation>Kan inte skriva minnesdumpen i %1.</translation>
    </message>
    <message>
        <source>Cannot write the memory dump (dump.txt, dump.bin) in %1: %2.</source>
        <translation>Kan inte skriva minnesdumpen (dump.txt, dump.bin) i %1: %2.</translation>
    </message>
    <message>
        <source>Printer output lost: %1.</source>
        <translation>Utskrift förlorad: %1.</translation>
    </message>
    <message>
        <source>No ZaVUR80BASIC.ROM found; the old BASIC slot runs instead.</source>
        <translation>Ingen ZaVUR80BASIC.ROM hittades; den gamla BASIC-platsen körs i stället.</translation>
    </message>
    <message>
        <source>No %1 image is installed; the machine runs the Open DOS.</source>
        <translation>Ingen %1-avbild är installerad; datorn kör Open DOS.</translation>
    </message>
    <message>
        <source>Inactive.</source>
        <translation>Inaktiv.</translation>
    </message>
    <message>
        <source>Rewinding: the last seconds play backwards.</source>
        <translation>Spolar tillbaka: de sista sekunderna spelas baklänges.</translation>
    </message>
    <message>
        <source>Rewound as far as the history reaches.</source>
        <translation>Tillbakaspolat så långt historiken räcker.</translation>
    </message>
    <message>
        <source>Nothing to rewind yet.</source>
        <translation>Inget att spola tillbaka ännu.</translation>
    </message>
    <message>
        <source>%1 set.</source>
        <translation>%1 valt.</translation>
    </message>
    <message>
        <source>Slot %1 is empty; Shift+F%2 saves the machine into it.</source>
        <translation>Plats %1 är tom; Shift+F%2 sparar datorn i den.</translation>
    </message>
    <message>
        <source>The ABC80 has no key for &quot;%1&quot;; the key was dropped.</source>
        <translation>ABC80 har ingen tangent för &quot;%1&quot;; tangenten ignorerades.</translation>
    </message>
    <message>
        <source>The sound driver &quot;%1&quot; could not be opened; the machine runs without sound.</source>
        <translation>Ljuddrivrutinen &quot;%1&quot; kunde inte öppnas; datorn körs utan ljud.</translation>
    </message>
    <message>
        <source>Unable to create rendering context.</source>
        <translation>Kan inte skapa ritkontext.</translation>
    </message>
    <message>
        <source>Unable to activate rendering context.</source>
        <translation>Kan inte aktivera ritkontext.</translation>
    </message>
    <message>
        <source>Creating the OpenGL painter FAILED (%1)</source>
        <translation>Det gick INTE att skapa OpenGL-ritaren (%1)</translation>
    </message>
    <message>
        <source>The language is English.</source>
        <translation>The language is English.</translation>
    </message>
    <message>
        <source>The language follows the system.</source>
        <translation>Språket följer systemet.</translation>
    </message>
    <message>
        <source>Luxor ABC80 emulator
for Linux (Qt 6)
version %1

</source>
        <translation>Emulator för Luxor ABC80
för Linux (Qt 6)
version %1

</translation>
    </message>
    <message>
        <source>Insert tape to play...</source>
        <translation>Sätt i band att spela upp...</translation>
    </message>
    <message>
        <source>Record tape to WAV...</source>
        <translation>Spela in band till WAV...</translation>
    </message>
    <message>
        <source>Attach disk image to DR%1...</source>
        <translation>Anslut skivavbild till DR%1...</translation>
    </message>
    <message>
        <source>Save screenshot as BMP...</source>
        <translation>Spara skärmbild som BMP...</translation>
    </message>
    <message>
        <source>Save sound to WAV...</source>
        <translation>Spara ljud till WAV...</translation>
    </message>
    <message>
        <source>Save state as...</source>
        <translation>Spara tillstånd som...</translation>
    </message>
    <message>
        <source>Load state...</source>
        <translation>Läs in tillstånd...</translation>
    </message>
    <message>
        <source>All supported files (%1)</source>
        <translation>Alla filer som stöds (%1)</translation>
    </message>
    <message>
        <source>BAC files (%1)</source>
        <translation>BAC-filer (%1)</translation>
    </message>
    <message>
        <source>BAS files (%1)</source>
        <translation>BAS-filer (%1)</translation>
    </message>
    <message>
        <source>ABC80 tape files (%1)</source>
        <translation>ABC80-bandfiler (%1)</translation>
    </message>
    <message>
        <source>WAV files (%1)</source>
        <translation>WAV-filer (%1)</translation>
    </message>
    <message>
        <source>All files (%1)</source>
        <translation>Alla filer (%1)</translation>
    </message>
    <message>
        <source>All (%1)</source>
        <translation>Alla (%1)</translation>
    </message>
    <message>
        <source>Disk images (%1)</source>
        <translation>Skivavbilder (%1)</translation>
    </message>
    <message>
        <source>Bitmap files (%1)</source>
        <translation>Bitmappsfiler (%1)</translation>
    </message>
    <message>
        <source>PNG files (%1)</source>
        <translation>PNG-filer (%1)</translation>
    </message>
    <message>
        <source>Orvane save states (%1)</source>
        <translation>Sparade Orvane-tillstånd (%1)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fel</translation>
    </message>
    <message>
        <source>Error attaching disk image!</source>
        <translation>Fel vid anslutning av skivavbild!</translation>
    </message>
    <message>
        <source>About Orvane</source>
        <translation>Om Orvane</translation>
    </message>
    <message>
        <source>no space left on device</source>
        <translation>inget utrymme kvar på enheten</translation>
    </message>
    <message>
        <source>disk quota exceeded</source>
        <translation>diskkvoten är överskriden</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>åtkomst nekas</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>är en mapp</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>kan inte läsas</translation>
    </message>
    <message>
        <source>no such file or folder</source>
        <translation>filen eller mappen finns inte</translation>
    </message>
    <message>
        <source>a part of the path is not a folder</source>
        <translation>en del av sökvägen är inte en mapp</translation>
    </message>
    <message>
        <source>file too large</source>
        <translation>filen är för stor</translation>
    </message>
    <message>
        <source>read-only file system</source>
        <translation>skrivskyddat filsystem</translation>
    </message>
    <message>
        <source>file name too long</source>
        <translation>filnamnet är för långt</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>in-/utmatningsfel</translation>
    </message>
    <message>
        <source>too many open files</source>
        <translation>för många öppna filer</translation>
    </message>
    <message>
        <source>read error</source>
        <translation>läsfel</translation>
    </message>
    <message>
        <source>empty file</source>
        <translation>tom fil</translation>
    </message>
    <message>
        <source>no file named</source>
        <translation>inget filnamn angivet</translation>
    </message>
    <message>
        <source>no such drive</source>
        <translation>enheten finns inte</translation>
    </message>
    <message>
        <source>sample rate 0</source>
        <translation>samplingsfrekvensen är 0</translation>
    </message>
    <message>
        <source>no tape blocks found</source>
        <translation>inga bandblock hittades</translation>
    </message>
    <message>
        <source>no program lines found</source>
        <translation>inga programrader hittades</translation>
    </message>
    <message>
        <source>no program in memory</source>
        <translation>inget program i minnet</translation>
    </message>
    <message>
        <source>truncated after %1 of %2 bytes</source>
        <translation>avkortad efter %1 av %2 byte</translation>
    </message>
    <message>
        <source>not an .atp, .bac, .bas or .wav file</source>
        <translation>inte en .atp-, .bac-, .bas- eller .wav-fil</translation>
    </message>
    <message>
        <source>not a BAC file (no 82h marker)</source>
        <translation>inte en BAC-fil (ingen 82h-markering)</translation>
    </message>
    <message>
        <source>not a text file (it holds NUL bytes)</source>
        <translation>inte en textfil (den innehåller NUL-byte)</translation>
    </message>
    <message>
        <source>the machine is stopped in the monitor</source>
        <translation>datorn står stilla i monitorn</translation>
    </message>
    <message>
        <source>cannot make a temporary folder</source>
        <translation>kan inte skapa en tillfällig mapp</translation>
    </message>
    <message>
        <source>the machine did not take the text</source>
        <translation>datorn tog inte emot texten</translation>
    </message>
    <message>
        <source>the machine did not come back to its prompt</source>
        <translation>datorn kom inte tillbaka till sin prompt</translation>
    </message>
    <message>
        <source>the machine could not be put back as it was: %1</source>
        <translation>datorn kunde inte återställas som den var: %1</translation>
    </message>
    <message>
        <source>text too long to type (more than 65,536 bytes)</source>
        <translation>texten är för lång att skriva in (mer än 65 536 byte)</translation>
    </message>
    <message>
        <source>another text is still being typed</source>
        <translation>en annan text skrivs fortfarande in</translation>
    </message>
    <message>
        <source>it is the tape being played</source>
        <translation>det är bandet som spelas upp</translation>
    </message>
    <message>
        <source>the deck is recording to %1; eject it (ending the recording) first</source>
        <translation>bandspelaren spelar in till %1; mata ut bandet (inspelningen avslutas) först</translation>
    </message>
    <message>
        <source>size of %1 bytes is no disk format</source>
        <translation>storleken %1 byte är inget skivformat</translation>
    </message>
    <message>
        <source>BASIC ROM: %1; DOS: %2</source>
        <translation>BASIC-ROM: %1; DOS: %2</translation>
    </message>
    <message>
        <source>open firmware (no old image installed)</source>
        <translation>öppen programvara (ingen gammal avbild installerad)</translation>
    </message>
    <message>
        <source>open firmware (no new image installed)</source>
        <translation>öppen programvara (ingen ny avbild installerad)</translation>
    </message>
    <message>
        <source>none (%1 image not installed)</source>
        <translation>inget (%1-avbild inte installerad)</translation>
    </message>
    <message>
        <source>external file</source>
        <translation>extern fil</translation>
    </message>
    <message>
        <source>external file (80 columns)</source>
        <translation>extern fil (80 kolumner)</translation>
    </message>
    <message>
        <source>The browser did not give the clipboard; press Ctrl+V instead.</source>
        <translation>Webbläsaren gav inte ut urklippet; tryck Ctrl+V i stället.</translation>
    </message>
    <message>
        <source>The browser did not allow full screen.</source>
        <translation>Webbläsaren tillät inte helskärm.</translation>
    </message>
    <message>
        <source>The screen&apos;s text is copied.</source>
        <translation>Skärmens text är kopierad.</translation>
    </message>
    <message>
        <source>The browser did not allow copying.</source>
        <translation>Webbläsaren tillät inte kopiering.</translation>
    </message>
    <message>
        <source>Hard reset.</source>
        <translation>Hård återställning.</translation>
    </message>
    <message>
        <source>Reset.</source>
        <translation>Återställd.</translation>
    </message>
    <message>
        <source>%1 is not an .atp, .bac, .bas, .wav, .dsk or .img file.</source>
        <translation>%1 är inte en .atp-, .bac-, .bas-, .wav-, .dsk- eller .img-fil.</translation>
    </message>
    <message>
        <source>Cannot load %1: the program needs at least %2 bytes, the machine has room for %3.</source>
        <translation>Kan inte läsa in %1: programmet behöver minst %2 byte, datorn har plats för %3.</translation>
    </message>
    <message>
        <source>The program could not be saved: %1</source>
        <translation>Programmet kunde inte sparas: %1</translation>
    </message>
    <message>
        <source>The program could not be saved.</source>
        <translation>Programmet kunde inte sparas.</translation>
    </message>
    <message>
        <source>File saved: program.bac.</source>
        <translation>Filen sparad: program.bac.</translation>
    </message>
    <message>
        <source>The tape recording could not be started.</source>
        <translation>Bandinspelningen kunde inte startas.</translation>
    </message>
    <message>
        <source>Recording the tape: type SAVE CAS: to record a program.</source>
        <translation>Spelar in bandet: skriv SAVE CAS: för att spela in ett program.</translation>
    </message>
    <message>
        <source>Tape recording saved: recording.wav (%1 kB).</source>
        <translation>Bandinspelningen sparad: recording.wav (%1 kB).</translation>
    </message>
    <message>
        <source>The tape recording is empty.</source>
        <translation>Bandinspelningen är tom.</translation>
    </message>
    <message>
        <source>Screenshot saved: screenshot.png.</source>
        <translation>Skärmbilden sparad: screenshot.png.</translation>
    </message>
    <message>
        <source>The state in %1 was not loaded: %2</source>
        <translation>Tillståndet i %1 lästes inte in: %2</translation>
    </message>
    <message>
        <source>State loaded from %1; %2</source>
        <translation>Tillståndet inläst från %1; %2</translation>
    </message>
    <message>
        <source>State kept in this browser (%1 kB).</source>
        <translation>Tillståndet sparat i den här webbläsaren (%1 kB).</translation>
    </message>
    <message>
        <source>The browser did not keep the state; use Download state.</source>
        <translation>Webbläsaren sparade inte tillståndet; använd Ladda ned tillstånd.</translation>
    </message>
    <message>
        <source>No state is kept in this browser.</source>
        <translation>Inget tillstånd är sparat i den här webbläsaren.</translation>
    </message>
    <message>
        <source>State saved: orvane.ost.</source>
        <translation>Tillståndet sparat: orvane.ost.</translation>
    </message>
    <message>
        <source>No program to share.</source>
        <translation>Inget program att dela.</translation>
    </message>
    <message>
        <source>Link copied (%1 characters).</source>
        <translation>Länken kopierad (%1 tecken).</translation>
    </message>
    <message>
        <source>The link is in the address bar.</source>
        <translation>Länken står i adressfältet.</translation>
    </message>
    <message>
        <source>The program in the link is not readable.</source>
        <translation>Programmet i länken går inte att läsa.</translation>
    </message>
    <message>
        <source>The program in the link is too long to type: %1 bytes, more than 65,536.</source>
        <translation>Programmet i länken är för långt att skriva in: %1 byte, mer än 65 536.</translation>
    </message>
    <message>
        <source>The program in the link cannot fit: it needs at least %1 bytes, the machine has room for %2.</source>
        <translation>Programmet i länken får inte plats: det behöver minst %1 byte, datorn har plats för %2.</translation>
    </message>
    <message>
        <source>Typing the program from the link.</source>
        <translation>Skriver in programmet från länken.</translation>
    </message>
    <message>
        <source>Typing the program: %1 %</source>
        <translation>Skriver in programmet: %1 %</translation>
    </message>
    <message>
        <source>Keep %1 in this browser for the next visits? It is never uploaded.</source>
        <translation>Spara %1 i den här webbläsaren till nästa besök? Den laddas aldrig upp.</translation>
    </message>
    <message>
        <source>%1 is kept in this browser. %2</source>
        <translation>%1 är sparad i den här webbläsaren. %2</translation>
    </message>
    <message>
        <source>The browser did not keep the ROM.</source>
        <translation>Webbläsaren sparade inte ROM-avbilden.</translation>
    </message>
    <message>
        <source>%1. Forget ROMs (under More) brings back the open firmware.</source>
        <translation>%1. Glöm ROM (under Mer) tar tillbaka den öppna programvaran.</translation>
    </message>
    <message>
        <source>%1 ejected from DR%2.</source>
        <translation>%1 utmatad från DR%2.</translation>
    </message>
    <message>
        <source>DR%1 is empty.</source>
        <translation>DR%1 är tom.</translation>
    </message>
    <message>
        <source>Disk write failed on DR%1 (%2): %3.</source>
        <translation>Skrivning till skivan misslyckades i DR%1 (%2): %3.</translation>
    </message>
    <message>
        <source>Disk write failed!</source>
        <translation>Skrivning till skivan misslyckades!</translation>
    </message>
    <message>
        <source>Error creating disk image!</source>
        <translation>Fel när skivavbilden skulle skapas!</translation>
    </message>
    <message>
        <source>New disk image %1 on DR%2.</source>
        <translation>Ny skivavbild %1 i DR%2.</translation>
    </message>
    <message>
        <source>%1 attached to DR%2, write-protected: the file cannot be written.</source>
        <translation>%1 ansluten till DR%2, skrivskyddad: filen kan inte skrivas.</translation>
    </message>
    <message>
        <source>DR%1 write-protected.</source>
        <translation>DR%1 skrivskyddad.</translation>
    </message>
    <message>
        <source>DR%1 writable.</source>
        <translation>DR%1 skrivbar.</translation>
    </message>
    <message>
        <source>DR%1 stays write-protected: its image file cannot be written.</source>
        <translation>DR%1 förblir skrivskyddad: dess avbildsfil kan inte skrivas.</translation>
    </message>
    <message>
        <source>DR%1 was empty.</source>
        <translation>DR%1 var tom.</translation>
    </message>
    <message>
        <source>%1 is empty.</source>
        <translation>%1 är tom.</translation>
    </message>
    <message>
        <source>Disk: %1 side(s), %2 tracks, %3 sectors, %4 kB, write-protected (%5).</source>
        <translation>Skiva: %1 sida/sidor, %2 spår, %3 sektorer, %4 kB, skrivskyddad (%5).</translation>
    </message>
    <message>
        <source>The sound driver &quot;%1&quot; could not be opened; sound goes to &quot;%2&quot; instead.</source>
        <translation>Ljuddrivrutinen &quot;%1&quot; kunde inte öppnas; ljudet går till &quot;%2&quot; i stället.</translation>
    </message>
    <message>
        <source>The cassette motor runs with no tape in the deck: SAVE CAS: needs a recording started first (Record tape, --tape-out), LOAD CAS: a tape inserted (Insert tape, --tape-in).</source>
        <translation>Kassettmotorn går utan band i bandspelaren: SAVE CAS: behöver en inspelning som startats först (Spela in band, --tape-out), LOAD CAS: ett isatt band (Sätt i band, --tape-in).</translation>
    </message>
    <message>
        <source>Recording finished: %1, %2.</source>
        <translation>Inspelningen klar: %1, %2.</translation>
    </message>
    <message>
        <source>Nothing was recorded on %1; the file was left as it was.</source>
        <translation>Inget spelades in på %1; filen lämnades som den var.</translation>
    </message>
    <message>
        <source>Nothing was recorded on %1.</source>
        <translation>Inget spelades in på %1.</translation>
    </message>
    <message>
        <source>Loaded %1. Warning: %2.</source>
        <translation>%1 inläst. Varning: %2.</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>filen är skrivskyddad</translation>
    </message>
    <message>
        <source>the image holds %1 programs; the first (%2) was loaded</source>
        <translation>avbilden innehåller %1 program; det första (%2) lästes in</translation>
    </message>
    <message>
        <source>the image holds %1 programs; the first was loaded</source>
        <translation>avbilden innehåller %1 program; det första lästes in</translation>
    </message>
    <message>
        <source>The ABC80 cannot show &quot;%1&quot;; %2 pasted characters were dropped.</source>
        <translation>ABC80 kan inte visa &quot;%1&quot;; %2 inklistrade tecken ignorerades.</translation>
    </message>
    <message>
        <source>The ABC80 cannot show &quot;%1&quot;; %2 pasted character was dropped.</source>
        <translation>ABC80 kan inte visa &quot;%1&quot;; %2 inklistrat tecken ignorerades.</translation>
    </message>
    <message>
        <source>not a WAV file (no RIFF WAVE header)</source>
        <translation>inte en WAV-fil (inget RIFF WAVE-huvud)</translation>
    </message>
    <message>
        <source>not a WAV file (no fmt chunk)</source>
        <translation>inte en WAV-fil (inget fmt-block)</translation>
    </message>
    <message>
        <source>WAV format %1 with %2-bit samples is not read (PCM and floating point are)</source>
        <translation>WAV-format %1 med %2-bitars sampel läses inte (PCM och flyttal läses)</translation>
    </message>
    <message>
        <source>no channels or no bits per sample in its header</source>
        <translation>inga kanaler eller inga bitar per sampel i huvudet</translation>
    </message>
    <message>
        <source>no samples after the header</source>
        <translation>inga sampel efter huvudet</translation>
    </message>
</context>
<context>
    <name>Page</name>
    <message>
        <source>Load an ATP, BAC, BAS or WAV file, or attach a DSK or IMG disk image (or drop one on the screen)</source>
        <translation>Läs in en ATP-, BAC-, BAS- eller WAV-fil, eller anslut en DSK- eller IMG-skivavbild (eller släpp en på skärmen)</translation>
    </message>
    <message>
        <source>Open…</source>
        <translation>Öppna…</translation>
    </message>
    <message>
        <source>Reset and type RUN (LOAD CAS: for a tape) after loading</source>
        <translation>Återställ och skriv RUN (LOAD CAS: för ett band) efter inläsningen</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>Kör</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Fart</translation>
    </message>
    <message>
        <source>No limit</source>
        <translation>Ingen gräns</translation>
    </message>
    <message>
        <source>Pause (the Pause key)</source>
        <translation>Paus (Pause-tangenten)</translation>
    </message>
    <message>
        <source>Play the last seconds backwards (or hold Shift+Backspace); click again to go on from there</source>
        <translation>Spela de sista sekunderna baklänges (eller håll ned Shift+Backsteg); klicka igen för att fortsätta därifrån</translation>
    </message>
    <message>
        <source>Rewind</source>
        <translation>Spola tillbaka</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Paus</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsätt</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Pausad</translation>
    </message>
    <message>
        <source>Reset (F1)</source>
        <translation>Återställ (F1)</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Återställ</translation>
    </message>
    <message>
        <source>Sound starts with the first click or key</source>
        <translation>Ljudet startar vid första klick eller tangent</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Tyst</translation>
    </message>
    <message>
        <source>Unmute</source>
        <translation>Ljud på</translation>
    </message>
    <message>
        <source>Full screen (Alt+Enter)</source>
        <translation>Helskärm (Alt+Enter)</translation>
    </message>
    <message>
        <source>Full screen</source>
        <translation>Helskärm</translation>
    </message>
    <message>
        <source>Keys and help</source>
        <translation>Tangenter och hjälp</translation>
    </message>
    <message>
        <source>More commands</source>
        <translation>Fler kommandon</translation>
    </message>
    <message>
        <source>More ▾</source>
        <translation>Mer ▾</translation>
    </message>
    <message>
        <source>Reset and clear the memory (Alt+F1)</source>
        <translation>Återställ och töm minnet (Alt+F1)</translation>
    </message>
    <message>
        <source>Hard reset</source>
        <translation>Hård återställning</translation>
    </message>
    <message>
        <source>Type the clipboard&apos;s text (or press Ctrl+V)</source>
        <translation>Skriv in urklippets text (eller tryck Ctrl+V)</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Klistra in</translation>
    </message>
    <message>
        <source>Copy the screen&apos;s text</source>
        <translation>Kopiera skärmens text</translation>
    </message>
    <message>
        <source>Copy text</source>
        <translation>Kopiera text</translation>
    </message>
    <message>
        <source>Download the program in memory as a BAC file</source>
        <translation>Ladda ned programmet i minnet som en BAC-fil</translation>
    </message>
    <message>
        <source>Save BAC</source>
        <translation>Spara BAC</translation>
    </message>
    <message>
        <source>Record the cassette output as a WAV file until the motor stops</source>
        <translation>Spela in kassettutgången som en WAV-fil tills motorn stannar</translation>
    </message>
    <message>
        <source>Record tape</source>
        <translation>Spela in band</translation>
    </message>
    <message>
        <source>Download the picture as PNG</source>
        <translation>Ladda ned bilden som PNG</translation>
    </message>
    <message>
        <source>Screenshot</source>
        <translation>Skärmbild</translation>
    </message>
    <message>
        <source>Copy a link that carries the program in memory</source>
        <translation>Kopiera en länk som bär programmet i minnet</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>Dela</translation>
    </message>
    <message>
        <source>Keep the machine&apos;s state in this browser</source>
        <translation>Spara datorns tillstånd i den här webbläsaren</translation>
    </message>
    <message>
        <source>Save state</source>
        <translation>Spara tillstånd</translation>
    </message>
    <message>
        <source>Go back to the state kept in this browser</source>
        <translation>Gå tillbaka till tillståndet som sparats i den här webbläsaren</translation>
    </message>
    <message>
        <source>Load state</source>
        <translation>Läs in tillstånd</translation>
    </message>
    <message>
        <source>Download the machine&apos;s state</source>
        <translation>Ladda ned datorns tillstånd</translation>
    </message>
    <message>
        <source>Download state</source>
        <translation>Ladda ned tillstånd</translation>
    </message>
    <message>
        <source>Disks</source>
        <translation>Skivor</translation>
    </message>
    <message>
        <source>Download the attached disk images as the machine has written them</source>
        <translation>Ladda ned de anslutna skivavbilderna så som datorn har skrivit dem</translation>
    </message>
    <message>
        <source>Save disks</source>
        <translation>Spara skivor</translation>
    </message>
    <message>
        <source>Run without limit, sound muted, while the tape moves</source>
        <translation>Kör utan gräns, med ljudet avstängt, medan bandet går</translation>
    </message>
    <message>
        <source>Fast tape</source>
        <translation>Snabbt band</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tangenter</translation>
    </message>
    <message>
        <source>as typed</source>
        <translation>som skrivet</translation>
    </message>
    <message>
        <source>by position</source>
        <translation>efter läge</translation>
    </message>
    <message>
        <source>Cycle-exact draws the picture line by line as the beam goes</source>
        <translation>Cykelexakt ritar bilden rad för rad som strålen går</translation>
    </message>
    <message>
        <source>Timing</source>
        <translation>Tidtagning</translation>
    </message>
    <message>
        <source>fast</source>
        <translation>snabb</translation>
    </message>
    <message>
        <source>cycle-exact</source>
        <translation>cykelexakt</translation>
    </message>
    <message>
        <source>Use a ROM image from your disk; it stays in this browser</source>
        <translation>Använd en ROM-avbild från din disk; den sparas i den här webbläsaren</translation>
    </message>
    <message>
        <source>ROM…</source>
        <translation>ROM…</translation>
    </message>
    <message>
        <source>BASIC</source>
        <translation>BASIC</translation>
    </message>
    <message>
        <source>old</source>
        <translation>gammal</translation>
    </message>
    <message>
        <source>new</source>
        <translation>ny</translation>
    </message>
    <message>
        <source>DOS</source>
        <translation>DOS</translation>
    </message>
    <message>
        <source>none</source>
        <translation>inget</translation>
    </message>
    <message>
        <source>ABCDOS</source>
        <translation>ABCDOS</translation>
    </message>
    <message>
        <source>UFDDOS</source>
        <translation>UFDDOS</translation>
    </message>
    <message>
        <source>Open DOS</source>
        <translation>Open DOS</translation>
    </message>
    <message>
        <source>Forget the ROM images and run the open firmware</source>
        <translation>Glöm ROM-avbilderna och kör den öppna programvaran</translation>
    </message>
    <message>
        <source>Forget ROMs</source>
        <translation>Glöm ROM</translation>
    </message>
    <message>
        <source>The page&apos;s language</source>
        <translation>Sidans språk</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Språk</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatiskt</translation>
    </message>
    <message>
        <source>ABC80 screen</source>
        <translation>ABC80:s skärm</translation>
    </message>
    <message>
        <source>Drop a file: a program (ATP, BAC, BAS) is loaded and run; a WAV tape is read with LOAD CAS: and then run; a disk image (DSK, IMG) goes to the first empty drive</source>
        <translation>Släpp en fil: ett program (ATP, BAC, BAS) läses in och körs; ett WAV-band läses med LOAD CAS: och körs sedan; en skivavbild (DSK, IMG) hamnar i första tomma enheten</translation>
    </message>
    <message>
        <source>ABC80 keys</source>
        <translation>ABC80:s tangenter</translation>
    </message>
    <message>
        <source>Browsers start sound only after a click or key</source>
        <translation>Webbläsare startar ljud först efter ett klick eller en tangent</translation>
    </message>
    <message>
        <source>Click to start sound</source>
        <translation>Klicka för att starta ljudet</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Ljud</translation>
    </message>
    <message>
        <source>Sound on</source>
        <translation>Ljud på</translation>
    </message>
    <message>
        <source>Sound muted</source>
        <translation>Ljudet avstängt</translation>
    </message>
    <message>
        <source>No sound yet</source>
        <translation>Inget ljud än</translation>
    </message>
    <message>
        <source>Tape counter</source>
        <translation>Bandräkneverk</translation>
    </message>
    <message>
        <source>Disk images on the drives</source>
        <translation>Skivavbilder i enheterna</translation>
    </message>
    <message>
        <source>Starting…</source>
        <translation>Startar…</translation>
    </message>
    <message>
        <source>Orvane – the ABC80 in the browser</source>
        <translation>Orvane – ABC80 i webbläsaren</translation>
    </message>
    <message>
        <source>The ABC80&apos;s keyboard is not yours. With</source>
        <translation>ABC80:s tangentbord är inte ditt. Med</translation>
    </message>
    <message>
        <source>Keys: as typed</source>
        <translation>Tangenter: som skrivet</translation>
    </message>
    <message>
        <source>a key types the character it shows on your keyboard; with</source>
        <translation>skriver en tangent det tecken den visar på ditt tangentbord; med</translation>
    </message>
    <message>
        <source>Keys: by position</source>
        <translation>Tangenter: efter läge</translation>
    </message>
    <message>
        <source>each key is the ABC80 key in its place (the Swedish layout).</source>
        <translation>är varje tangent ABC80-tangenten på sin plats (den svenska layouten).</translation>
    </message>
    <message>
        <source>Your key</source>
        <translation>Din tangent</translation>
    </message>
    <message>
        <source>ABC80</source>
        <translation>ABC80</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>Retur</translation>
    </message>
    <message>
        <source>RETURN</source>
        <translation>RETURN</translation>
    </message>
    <message>
        <source>Backspace, ←</source>
        <translation>Backsteg, ←</translation>
    </message>
    <message>
        <source>← (moves the cursor back)</source>
        <translation>← (flyttar markören bakåt)</translation>
    </message>
    <message>
        <source>→ (copies the character under the cursor)</source>
        <translation>→ (kopierar tecknet under markören)</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>CTRL-C: stops a program</source>
        <translation>CTRL-C: stoppar ett program</translation>
    </message>
    <message>
        <source>Ctrl+letter</source>
        <translation>Ctrl+bokstav</translation>
    </message>
    <message>
        <source>CTRL with that letter</source>
        <translation>CTRL med den bokstaven</translation>
    </message>
    <message>
        <source>the machine&apos;s own letters (also on the on-screen keys)</source>
        <translation>datorns egna bokstäver (även på skärmtangenterna)</translation>
    </message>
    <message>
        <source>Ctrl+V</source>
        <translation>Ctrl+V</translation>
    </message>
    <message>
        <source>types the clipboard&apos;s text</source>
        <translation>skriver in urklippets text</translation>
    </message>
    <message>
        <source>Alt+F1</source>
        <translation>Alt+F1</translation>
    </message>
    <message>
        <source>Hard reset (memory cleared)</source>
        <translation>Hård återställning (minnet töms)</translation>
    </message>
    <message>
        <source>Pause and resume</source>
        <translation>Paus och fortsätt</translation>
    </message>
    <message>
        <source>Alt+Enter</source>
        <translation>Alt+Enter</translation>
    </message>
    <message>
        <source>The ABC80&apos;s keys at the places of yours (with Shift above):</source>
        <translation>ABC80:s tangenter på dina tangenters platser (med Skift ovanför):</translation>
    </message>
    <message>
        <source>The ABC80&apos;s keys by place</source>
        <translation>ABC80:s tangenter efter plats</translation>
    </message>
    <message>
        <source>Drop a program on the screen to run it, a WAV recording to read it with LOAD CAS: and run it, or a disk image to put it into the first empty drive. Share makes a link that carries the program in memory.</source>
        <translation>Släpp ett program på skärmen för att köra det, en WAV-inspelning för att läsa den med LOAD CAS: och köra den, eller en skivavbild för att sätta den i första tomma enheten. Dela gör en länk som bär programmet i minnet.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Stäng</translation>
    </message>
    <message>
        <source>SPACE</source>
        <translation>MELLANSLAG</translation>
    </message>
    <message>
        <source>Left arrow (Backspace)</source>
        <translation>Vänsterpil (Backsteg)</translation>
    </message>
    <message>
        <source>Right arrow</source>
        <translation>Högerpil</translation>
    </message>
    <message>
        <source>SHIFT</source>
        <translation>SHIFT</translation>
    </message>
    <message>
        <source>CTRL</source>
        <translation>CTRL</translation>
    </message>
    <message>
        <source>Ctrl+C stops a running program</source>
        <translation>Ctrl+C stoppar ett program som körs</translation>
    </message>
    <message>
        <source>CTRL-C</source>
        <translation>CTRL-C</translation>
    </message>
    <message>
        <source>Open the system keyboard</source>
        <translation>Öppna systemets tangentbord</translation>
    </message>
    <message>
        <source>DR0:</source>
        <translation>DR0:</translation>
    </message>
    <message>
        <source>DR1:</source>
        <translation>DR1:</translation>
    </message>
    <message>
        <source>DR2:</source>
        <translation>DR2:</translation>
    </message>
    <message>
        <source>DR3:</source>
        <translation>DR3:</translation>
    </message>
    <message>
        <source>Attach…</source>
        <translation>Anslut…</translation>
    </message>
    <message>
        <source>Protect</source>
        <translation>Skrivskydda</translation>
    </message>
    <message>
        <source>The drive refuses writes (error 64)</source>
        <translation>Enheten vägrar skrivningar (fel 64)</translation>
    </message>
    <message>
        <source>New disk</source>
        <translation>Ny skiva</translation>
    </message>
    <message>
        <source>A new 160 KB disk, formatted for the open DOS, in the first empty drive; kept in this browser</source>
        <translation>En ny skiva på 160 kB, formaterad för det öppna DOS:et, i den första tomma enheten; sparas i den här webbläsaren</translation>
    </message>
    <message>
        <source>Eject</source>
        <translation>Mata ut</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>tom</translation>
    </message>
</context>
</TS>
