<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name></name>
    <message id="1122">
        <source>Remove pictures</source>
        <translation>Bilder entfernen</translation>
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
    <message id="2189">
        <source>Unlimited</source>
        <translation>Unbegrenzt</translation>
    </message>
    <message id="2190">
        <source>Size of picture: %.0n Bytes</source>
        <translation>Größe des Bildes: %.0n Bytes</translation>
    </message>
    <message id="3072">
        <source>Do you really want to remove the selected pictures from the list (the pictures won't be deleted)?</source>
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
</context>
</TS>
