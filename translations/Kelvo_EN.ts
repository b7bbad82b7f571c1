<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="1122">
        <source>Remove pictures</source>
        <translation>Remove pictures</translation>
    </message>
    <message id="2080">
        <source>Kelvo</source>
        <translation>Kelvo</translation>
    </message>
    <message id="2081">
        <source>Title</source>
        <translation>Title</translation>
    </message>
    <message id="2082">
        <source>Comment</source>
        <translation>Comment</translation>
    </message>
    <message id="2083">
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message id="2084">
        <source>Filename</source>
        <translation>Filename</translation>
    </message>
    <message id="2085">
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message id="2189">
        <source>Unlimited</source>
        <translation>Unlimited</translation>
    </message>
    <message id="2190">
        <source>Size of picture: %.0n Bytes</source>
        <translation>Size of picture: %.0n Bytes</translation>
    </message>
    <message id="3072">
        <source>Do you really want to remove the selected pictures from the list (the pictures won't be deleted)?</source>
        <translation>Do you really want to remove the selected pictures from the list (the pictures won't be deleted)?</translation>
    </message>
    <message id="3073">
        <source>The active project will be closed. Do you want to save it first?</source>
        <translation>The active project will be closed. Do you want to save it first?</translation>
    </message>
    <message id="3074">
        <source>The project couldn't be opened!</source>
        <translation>The project couldn't be opened!</translation>
    </message>
    <message id="3075">
        <source>Invalid input!</source>
        <translation>Invalid input!</translation>
    </message>
    <message id="3076">
        <source>No pictures are selected!</source>
        <translation>No pictures are selected!</translation>
    </message>
    <message id="3077">
        <source>No layout is selected!</source>
        <translation>No layout is selected!</translation>
    </message>
    <message id="3078">
        <source>The picture gallery was created successfully.</source>
        <translation>The picture gallery was created successfully.</translation>
    </message>
    <message id="3079">
        <source>The picture gallery was created successfully. Do you want to view it in your web browser now?</source>
        <translation>The picture gallery was created successfully. Do you want to view it in your web browser now?</translation>
    </message>
    <message id="3080">
        <source>Are you sure you want to stop creating the picture gallery?</source>
        <translation>Are you sure you want to stop creating the picture gallery?</translation>
    </message>
</context>
</TS>
