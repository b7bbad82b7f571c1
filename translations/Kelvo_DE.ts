<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="1024">
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message id="1025">
        <source>&amp;New project</source>
        <translation>&amp;Neues Projekt</translation>
    </message>
    <message id="1026">
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message id="1028">
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message id="1029">
        <source>Save &amp;as...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message id="1031">
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message id="1032">
        <source>&amp;HTML Picture Gallery...</source>
        <translation>&amp;HTML-Bildergalerie...</translation>
    </message>
    <message id="1056">
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message id="1057">
        <source>&amp;About Kelvo...</source>
        <translation>Ü&amp;ber Kelvo...</translation>
    </message>
    <message id="1058">
        <source>&amp;Contents and Index</source>
        <translation>&amp;Inhalt und Index</translation>
    </message>
    <message id="1088">
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message id="1089">
        <source>&amp;Split view</source>
        <translation>Ansicht &amp;teilen</translation>
    </message>
    <message id="1120">
        <source>&amp;Pictures</source>
        <translation>&amp;Bilder</translation>
    </message>
    <message id="1121">
        <source>&amp;Add pictures...</source>
        <translation>Bilder &amp;hinzufügen...</translation>
    </message>
    <message id="1122">
        <source>Remove pictures from list</source>
        <translation>Bilder aus der Liste entfernen</translation>
    </message>
    <message id="1123">
        <source>Move picture &amp;up</source>
        <translation>Bild nach &amp;oben verschieben</translation>
    </message>
    <message id="1124">
        <source>Move picture &amp;down</source>
        <translation>Bild nach &amp;unten verschieben</translation>
    </message>
    <message id="1125">
        <source>Order by &amp;title</source>
        <translation>Nach &amp;Titel sortieren</translation>
    </message>
    <message id="1126">
        <source>Order by &amp;date</source>
        <translation>Nach &amp;Datum sortieren</translation>
    </message>
    <message id="1127">
        <source>Order by &amp;filename</source>
        <translation>Nach Datei&amp;name sortieren</translation>
    </message>
    <message id="1128">
        <source>Order by &amp;comment</source>
        <translation>Nach &amp;Kommentar sortieren</translation>
    </message>
    <message id="2048">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="2049">
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message id="2080">
        <source>Kelvo</source>
        <translation>Kelvo</translation>
    </message>
    <message id="2081">
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message id="2082">
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message id="2083">
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message id="2084">
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message id="2085">
        <source>Unknown</source>
        <translation>Unbenannt</translation>
    </message>
    <message id="2086">
        <source>Loading pictures: %d of %d</source>
        <translation>Bilder werden geladen: %d von %d</translation>
    </message>
    <message id="2087">
        <source>All pictures</source>
        <translation>Alle Bilder</translation>
    </message>
    <message id="2088">
        <source>Kelvo projects</source>
        <translation>Kelvo-Projekte</translation>
    </message>
    <message id="2110">
        <source>About Kelvo</source>
        <translation>Über Kelvo</translation>
    </message>
    <message id="2111">
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message id="2112">
        <source>Author:</source>
        <translation>Autor:</translation>
    </message>
    <message id="2113">
        <source>Homepage:</source>
        <translation>Homepage:</translation>
    </message>
    <message id="2114">
        <source>E-mail:</source>
        <translation>E-Mail:</translation>
    </message>
    <message id="2142">
        <source>HTML Picture Gallery</source>
        <translation>HTML-Bildergalerie</translation>
    </message>
    <message id="2143">
        <source>Output folder</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message id="2144">
        <source>Output folder</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message id="2145">
        <source>Create subfolder</source>
        <translation>Unterordner anlegen</translation>
    </message>
    <message id="2146">
        <source>Create picture gallery</source>
        <translation>Bildergalerie erstellen</translation>
    </message>
    <message id="2147">
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message id="2148">
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message id="2174">
        <source>HTML Picture Gallery</source>
        <translation>HTML-Bildergalerie</translation>
    </message>
    <message id="2175">
        <source>Select template</source>
        <translation>Vorlage auswählen</translation>
    </message>
    <message id="2176">
        <source>Page settings</source>
        <translation>Seiteneinstellungen</translation>
    </message>
    <message id="2177">
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message id="2178">
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message id="2179">
        <source>Arrangement of pictures</source>
        <translation>Anordnung der Bilder</translation>
    </message>
    <message id="2180">
        <source>Columns</source>
        <translation>Spalten</translation>
    </message>
    <message id="2181">
        <source>Rows</source>
        <translation>Zeilen</translation>
    </message>
    <message id="2182">
        <source>Picture settings</source>
        <translation>Bildeinstellungen</translation>
    </message>
    <message id="2183">
        <source>Fitting frame</source>
        <translation>Einpassrahmen</translation>
    </message>
    <message id="2184">
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message id="2185">
        <source>Width/Height</source>
        <translation>Breite/Höhe</translation>
    </message>
    <message id="2186">
        <source>Quality</source>
        <translation>Qualität</translation>
    </message>
    <message id="2187">
        <source>Test picture</source>
        <translation>Testbild</translation>
    </message>
    <message id="2188">
        <source>Create picture gallery...</source>
        <translation>Bildergalerie erstellen...</translation>
    </message>
    <message id="2189">
        <source>Unlimited</source>
        <translation>Unbegrenzt</translation>
    </message>
    <message id="2190">
        <source>Picture size: %.0n bytes</source>
        <translation>Bildgröße: %.0n Bytes</translation>
    </message>
    <message id="2191">
        <source>Thumbnail (90 × 90)</source>
        <translation>Miniatur (90 × 90)</translation>
    </message>
    <message id="2192">
        <source>Small (140 × 140)</source>
        <translation>Klein (140 × 140)</translation>
    </message>
    <message id="2193">
        <source>Medium (200 × 200)</source>
        <translation>Mittel (200 × 200)</translation>
    </message>
    <message id="2194">
        <source>Large (500 × 460)</source>
        <translation>Groß (500 × 460)</translation>
    </message>
    <message id="2195">
        <source>Extra large (600 × 560)</source>
        <translation>Sehr groß (600 × 560)</translation>
    </message>
    <message id="2196">
        <source>Screen (768 × 640)</source>
        <translation>Bildschirm (768 × 640)</translation>
    </message>
    <message id="2197">
        <source>Original size</source>
        <translation>Originalgröße</translation>
    </message>
    <message id="2198">
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message id="3072">
        <source>Do you really want to remove the selected pictures from the list? (The picture files themselves are not deleted.)</source>
        <translation>Wollen Sie die ausgewählten Bilder wirklich aus der Liste entfernen? (Die Bilddateien selbst werden nicht gelöscht.)</translation>
    </message>
    <message id="3073">
        <source>The active project will be closed. Do you want to save it first?</source>
        <translation>Das aktuelle Projekt wird geschlossen. Wollen Sie es vorher speichern?</translation>
    </message>
    <message id="3074">
        <source>The project couldn't be opened!</source>
        <translation>Das Projekt konnte nicht geöffnet werden!</translation>
    </message>
    <message id="3075">
        <source>Invalid input!</source>
        <translation>Fehlerhafte Eingaben!</translation>
    </message>
    <message id="3076">
        <source>No pictures are selected!</source>
        <translation>Es sind keine Bilder ausgewählt!</translation>
    </message>
    <message id="3077">
        <source>No layout is selected!</source>
        <translation>Es ist kein Layout ausgewählt!</translation>
    </message>
    <message id="3078">
        <source>The picture gallery was created successfully.</source>
        <translation>Die Bildergalerie wurde erfolgreich erstellt.</translation>
    </message>
    <message id="3079">
        <source>The picture gallery was created successfully. Do you want to view it in your web browser now?</source>
        <translation>Die Bildergalerie wurde erfolgreich erstellt. Wollen Sie sie jetzt im Webbrowser anzeigen?</translation>
    </message>
    <message id="3080">
        <source>Are you sure you want to stop creating the picture gallery?</source>
        <translation>Sind Sie sicher, dass Sie die Erstellung der Bildergalerie abbrechen wollen?</translation>
    </message>
    <message id="2241">
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message id="2242">
        <source>Index</source>
        <translation>Index</translation>
    </message>
    <message id="2243">
        <source>Type the keyword to find:</source>
        <translation>Suchbegriff eingeben:</translation>
    </message>
    <message id="3081">
        <source>The picture gallery was created, but %d pages and %d pictures were skipped:</source>
        <translation>Die Bildergalerie wurde erstellt, aber %d Seiten und %d Bilder wurden übersprungen:</translation>
    </message>
    <message id="3082">
        <source>Do you want to view it in your web browser now?</source>
        <translation>Wollen Sie sie jetzt im Webbrowser anzeigen?</translation>
    </message>
    <message id="3100">
        <source>%d pictures were written with a warning:</source>
        <translation>%d Bilder wurden mit einer Warnung geschrieben:</translation>
    </message>
    <message id="2149">
        <source>Fast pictures (slightly different pixels)</source>
        <translation>Schnelle Bilder (leicht abweichende Pixel)</translation>
    </message>
    <message id="3083">
        <source>The creation of the picture gallery was stopped. The pages and pictures written so far remain in the output folder.</source>
        <translation>Die Erstellung der Bildergalerie wurde abgebrochen. Die bereits geschriebenen Seiten und Bilder bleiben im Ausgabeordner.</translation>
    </message>
    <message id="2260">
        <source>Rewrite all pictures</source>
        <translation>Alle Bilder neu schreiben</translation>
    </message>
    <message id="3110">
        <source>Pictures: %d written, %d kept, %d removed. Pages: %d written, %d kept, %d removed.</source>
        <translation>Bilder: %d geschrieben, %d behalten, %d entfernt. Seiten: %d geschrieben, %d behalten, %d entfernt.</translation>
    </message>
    <message id="2320">
        <source>Template check: no problems found.</source>
        <translation>Vorlagenprüfung: keine Probleme gefunden.</translation>
    </message>
    <message id="2321">
        <source>Template check: 1 problem found:</source>
        <translation>Vorlagenprüfung: 1 Problem gefunden:</translation>
    </message>
    <message id="2322">
        <source>Template check: %d problems found:</source>
        <translation>Vorlagenprüfung: %d Probleme gefunden:</translation>
    </message>
    <message id="2323">
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message id="2324">
        <source>Line</source>
        <translation>Zeile</translation>
    </message>
    <message id="2325">
        <source>Column</source>
        <translation>Spalte</translation>
    </message>
    <message id="2326">
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message id="3160">
        <source>unknown tag &quot;%s&quot;</source>
        <translation>unbekanntes Tag „%s“</translation>
    </message>
    <message id="3161">
        <source>&quot;%s&quot; has no closing &quot;#&quot;</source>
        <translation>„%s“ fehlt das schließende „#“</translation>
    </message>
    <message id="3162">
        <source>&quot;%s&quot; is written by Kelvo itself, never by a template</source>
        <translation>„%s“ schreibt Kelvo selbst, nie eine Vorlage</translation>
    </message>
    <message id="3163">
        <source>%s has no attribute &quot;%s&quot;</source>
        <translation>%s hat kein Attribut „%s“</translation>
    </message>
    <message id="3164">
        <source>%s needs the attribute %s</source>
        <translation>%s braucht das Attribut %s</translation>
    </message>
    <message id="3165">
        <source>%s must be a whole number from %s to %s, not &quot;%s&quot;</source>
        <translation>%s muss eine ganze Zahl von %s bis %s sein, nicht „%s“</translation>
    </message>
    <message id="3166">
        <source>%s must be a folder inside the gallery, not &quot;%s&quot;</source>
        <translation>%s muss ein Ordner innerhalb der Galerie sein, nicht „%s“</translation>
    </message>
    <message id="3167">
        <source>%s must list pixel densities from 1 to 4 separated by commas, such as 1,2, not &quot;%s&quot;</source>
        <translation>%s muss Pixeldichten von 1 bis 4 durch Kommas getrennt aufzählen, etwa 1,2, nicht „%s“</translation>
    </message>
    <message id="3168">
        <source>there is no layer &quot;%s&quot; in this layout</source>
        <translation>in diesem Layout gibt es keine Ebene „%s“</translation>
    </message>
    <message id="3169">
        <source>the word &quot;%s&quot; is missing for %s</source>
        <translation>das Wort „%s“ fehlt für %s</translation>
    </message>
    <message id="2330">
        <source>the word &quot;%s&quot; needs the words file %s with a section per language</source>
        <translation>das Wort „%s“ braucht die Wörterdatei %s mit einem Abschnitt je Sprache</translation>
    </message>
    <message id="2331">
        <source>this line is neither &quot;[language]&quot;, nor &quot;key = text&quot; below a language, nor a comment</source>
        <translation>diese Zeile ist weder „[Sprache]“ noch „Schlüssel = Text“ unter einer Sprache noch ein Kommentar</translation>
    </message>
    <message id="2332">
        <source>%s stands in the table row but outside the picture cell, so it shows only the first picture of each row</source>
        <translation>%s steht in der Tabellenzeile, aber außerhalb der Bildzelle, und zeigt darum nur das erste Bild jeder Zeile</translation>
    </message>
    <message id="2333">
        <source>%s stands outside the picture cell, so it shows only the first picture of each page</source>
        <translation>%s steht außerhalb der Bildzelle und zeigt darum nur das erste Bild jeder Seite</translation>
    </message>
    <message id="2334">
        <source>the picture cell is not inside a table row (&lt;tr&gt;...&lt;/tr&gt;), so each page shows only its first row of pictures</source>
        <translation>die Bildzelle steht in keiner Tabellenzeile (&lt;tr&gt;...&lt;/tr&gt;), darum zeigt jede Seite nur ihre erste Bilderzeile</translation>
    </message>
    <message id="2335">
        <source>did you mean &quot;%s&quot;?</source>
        <translation>meinten Sie „%s“?</translation>
    </message>
    <message id="1200">
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message id="1201">
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message id="1202">
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message id="1203">
        <source>&amp;Recent projects</source>
        <translation>&amp;Zuletzt geöffnete Projekte</translation>
    </message>
    <message id="2270">
        <source>Move picture</source>
        <translation>Bild verschieben</translation>
    </message>
    <message id="2271">
        <source>Check mark</source>
        <translation>Häkchen</translation>
    </message>
    <message id="3120">
        <source>The project %s no longer exists. It has been removed from the recent projects.</source>
        <translation>Das Projekt %s gibt es nicht mehr. Es wurde aus den zuletzt geöffneten Projekten entfernt.</translation>
    </message>
    <message id="3121">
        <source>No output folder is given.</source>
        <translation>Es ist kein Ausgabeordner angegeben.</translation>
    </message>
    <message id="3122">
        <source>The output folder %s does not exist.</source>
        <translation>Der Ausgabeordner %s existiert nicht.</translation>
    </message>
    <message id="3123">
        <source>A sub-folder name may hold only the letters A to Z and a to z, the digits 0 to 9 and the path separators / and \.</source>
        <translation>Ein Unterordnername darf nur die Buchstaben A bis Z und a bis z, die Ziffern 0 bis 9 und die Pfadtrenner / und \ enthalten.</translation>
    </message>
    <message id="2300">
        <source>Gallery language</source>
        <translation>Sprache der Galerie</translation>
    </message>
    <message id="2301">
        <source>Pixel densities</source>
        <translation>Pixeldichten</translation>
    </message>
    <message id="2302">
        <source>Picture sizes, all densities: %.0n bytes</source>
        <translation>Bildgrößen, alle Dichten: %.0n Bytes</translation>
    </message>
    <message id="2303">
        <source>Also writes every picture at two, three or four times the frame, for sharp screens; 1× is always written</source>
        <translation>Schreibt jedes Bild zusätzlich in zwei-, drei- oder vierfacher Rahmengröße für scharfe Bildschirme; 1× wird immer geschrieben</translation>
    </message>
    <message id="2304">
        <source>The language of the words the layout puts into the gallery's pages</source>
        <translation>Die Sprache der Wörter, die das Layout in die Seiten der Galerie schreibt</translation>
    </message>
</context>
</TS>
