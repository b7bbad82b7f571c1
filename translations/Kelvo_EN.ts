<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="1024">
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message id="1025">
        <source>&amp;New project</source>
        <translation>&amp;New project</translation>
    </message>
    <message id="1026">
        <source>&amp;Open...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message id="1028">
        <source>&amp;Save</source>
        <translation>&amp;Save</translation>
    </message>
    <message id="1029">
        <source>Save &amp;as...</source>
        <translation>Save &amp;as...</translation>
    </message>
    <message id="1031">
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message id="1032">
        <source>&amp;HTML Picture Gallery...</source>
        <translation>&amp;HTML Picture Gallery...</translation>
    </message>
    <message id="1056">
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message id="1057">
        <source>&amp;About Kelvo...</source>
        <translation>&amp;About Kelvo...</translation>
    </message>
    <message id="1058">
        <source>&amp;Contents and Index</source>
        <translation>&amp;Contents and Index</translation>
    </message>
    <message id="1088">
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message id="1089">
        <source>&amp;Split view</source>
        <translation>&amp;Split view</translation>
    </message>
    <message id="1120">
        <source>&amp;Pictures</source>
        <translation>&amp;Pictures</translation>
    </message>
    <message id="1121">
        <source>&amp;Add pictures...</source>
        <translation>&amp;Add pictures...</translation>
    </message>
    <message id="1122">
        <source>Remove pictures from list</source>
        <translation>Remove pictures from list</translation>
    </message>
    <message id="1123">
        <source>Move picture &amp;up</source>
        <translation>Move picture &amp;up</translation>
    </message>
    <message id="1124">
        <source>Move picture &amp;down</source>
        <translation>Move picture &amp;down</translation>
    </message>
    <message id="1125">
        <source>Order by &amp;title</source>
        <translation>Order by &amp;title</translation>
    </message>
    <message id="1126">
        <source>Order by &amp;date</source>
        <translation>Order by &amp;date</translation>
    </message>
    <message id="1127">
        <source>Order by &amp;filename</source>
        <translation>Order by &amp;filename</translation>
    </message>
    <message id="1128">
        <source>Order by &amp;comment</source>
        <translation>Order by &amp;comment</translation>
    </message>
    <message id="2048">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="2049">
        <source>Cancel</source>
        <translation>Cancel</translation>
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
    <message id="2086">
        <source>Loading pictures: %d of %d</source>
        <translation>Loading pictures: %d of %d</translation>
    </message>
    <message id="2087">
        <source>All pictures</source>
        <translation>All pictures</translation>
    </message>
    <message id="2088">
        <source>Kelvo projects</source>
        <translation>Kelvo projects</translation>
    </message>
    <message id="2110">
        <source>About Kelvo</source>
        <translation>About Kelvo</translation>
    </message>
    <message id="2111">
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message id="2112">
        <source>Author:</source>
        <translation>Author:</translation>
    </message>
    <message id="2113">
        <source>Homepage:</source>
        <translation>Homepage:</translation>
    </message>
    <message id="2114">
        <source>E-mail:</source>
        <translation>E-mail:</translation>
    </message>
    <message id="2142">
        <source>HTML Picture Gallery</source>
        <translation>HTML Picture Gallery</translation>
    </message>
    <message id="2143">
        <source>Output folder</source>
        <translation>Output folder</translation>
    </message>
    <message id="2144">
        <source>Output folder</source>
        <translation>Output folder</translation>
    </message>
    <message id="2145">
        <source>Create subfolder</source>
        <translation>Create subfolder</translation>
    </message>
    <message id="2146">
        <source>Create picture gallery</source>
        <translation>Create picture gallery</translation>
    </message>
    <message id="2147">
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message id="2148">
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message id="2174">
        <source>HTML Picture Gallery</source>
        <translation>HTML Picture Gallery</translation>
    </message>
    <message id="2175">
        <source>Select template</source>
        <translation>Select template</translation>
    </message>
    <message id="2176">
        <source>Page settings</source>
        <translation>Page settings</translation>
    </message>
    <message id="2177">
        <source>Title</source>
        <translation>Title</translation>
    </message>
    <message id="2178">
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message id="2179">
        <source>Arrangement of pictures</source>
        <translation>Arrangement of pictures</translation>
    </message>
    <message id="2180">
        <source>Columns</source>
        <translation>Columns</translation>
    </message>
    <message id="2181">
        <source>Rows</source>
        <translation>Rows</translation>
    </message>
    <message id="2182">
        <source>Picture settings</source>
        <translation>Picture settings</translation>
    </message>
    <message id="2183">
        <source>Fitting frame</source>
        <translation>Fitting frame</translation>
    </message>
    <message id="2184">
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message id="2185">
        <source>Width/Height</source>
        <translation>Width/Height</translation>
    </message>
    <message id="2186">
        <source>Quality</source>
        <translation>Quality</translation>
    </message>
    <message id="2187">
        <source>Test picture</source>
        <translation>Test picture</translation>
    </message>
    <message id="2188">
        <source>Create picture gallery...</source>
        <translation>Create picture gallery...</translation>
    </message>
    <message id="2189">
        <source>Unlimited</source>
        <translation>Unlimited</translation>
    </message>
    <message id="2190">
        <source>Picture size: %.0n bytes</source>
        <translation>Picture size: %.0n bytes</translation>
    </message>
    <message id="2191">
        <source>Thumbnail (90 × 90)</source>
        <translation>Thumbnail (90 × 90)</translation>
    </message>
    <message id="2192">
        <source>Small (140 × 140)</source>
        <translation>Small (140 × 140)</translation>
    </message>
    <message id="2193">
        <source>Medium (200 × 200)</source>
        <translation>Medium (200 × 200)</translation>
    </message>
    <message id="2194">
        <source>Large (500 × 460)</source>
        <translation>Large (500 × 460)</translation>
    </message>
    <message id="2195">
        <source>Extra large (600 × 560)</source>
        <translation>Extra large (600 × 560)</translation>
    </message>
    <message id="2196">
        <source>Screen (768 × 640)</source>
        <translation>Screen (768 × 640)</translation>
    </message>
    <message id="2197">
        <source>Original size</source>
        <translation>Original size</translation>
    </message>
    <message id="2198">
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
    <message id="3072">
        <source>Do you really want to remove the selected pictures from the list? (The picture files themselves are not deleted.)</source>
        <translation>Do you really want to remove the selected pictures from the list? (The picture files themselves are not deleted.)</translation>
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
    <message id="2241">
        <source>Contents</source>
        <translation>Contents</translation>
    </message>
    <message id="2242">
        <source>Index</source>
        <translation>Index</translation>
    </message>
    <message id="2243">
        <source>Type the keyword to find:</source>
        <translation>Type the keyword to find:</translation>
    </message>
    <message id="3081">
        <source>The picture gallery was created, but %d pages and %d pictures were skipped:</source>
        <translation>The picture gallery was created, but %d pages and %d pictures were skipped:</translation>
    </message>
    <message id="3082">
        <source>Do you want to view it in your web browser now?</source>
        <translation>Do you want to view it in your web browser now?</translation>
    </message>
    <message id="3100">
        <source>%d pictures were written with a warning:</source>
        <translation>%d pictures were written with a warning:</translation>
    </message>
    <message id="2149">
        <source>Fast pictures (slightly different pixels)</source>
        <translation>Fast pictures (slightly different pixels)</translation>
    </message>
    <message id="3083">
        <source>The creation of the picture gallery was stopped. The pages and pictures written so far remain in the output folder.</source>
        <translation>The creation of the picture gallery was stopped. The pages and pictures written so far remain in the output folder.</translation>
    </message>
    <message id="2260">
        <source>Rewrite all pictures</source>
        <translation>Rewrite all pictures</translation>
    </message>
    <message id="3110">
        <source>Pictures: %d written, %d kept, %d removed. Pages: %d written, %d kept, %d removed.</source>
        <translation>Pictures: %d written, %d kept, %d removed. Pages: %d written, %d kept, %d removed.</translation>
    </message>
    <message id="2320">
        <source>Template check: no problems found.</source>
        <translation>Template check: no problems found.</translation>
    </message>
    <message id="2321">
        <source>Template check: 1 problem found:</source>
        <translation>Template check: 1 problem found:</translation>
    </message>
    <message id="2322">
        <source>Template check: %d problems found:</source>
        <translation>Template check: %d problems found:</translation>
    </message>
    <message id="2323">
        <source>File</source>
        <translation>File</translation>
    </message>
    <message id="2324">
        <source>Line</source>
        <translation>Line</translation>
    </message>
    <message id="2325">
        <source>Column</source>
        <translation>Column</translation>
    </message>
    <message id="2326">
        <source>Message</source>
        <translation>Message</translation>
    </message>
    <message id="3160">
        <source>unknown tag &quot;%s&quot;</source>
        <translation>unknown tag &quot;%s&quot;</translation>
    </message>
    <message id="3161">
        <source>&quot;%s&quot; has no closing &quot;#&quot;</source>
        <translation>&quot;%s&quot; has no closing &quot;#&quot;</translation>
    </message>
    <message id="3162">
        <source>&quot;%s&quot; is written by Kelvo itself, never by a template</source>
        <translation>&quot;%s&quot; is written by Kelvo itself, never by a template</translation>
    </message>
    <message id="3163">
        <source>%s has no attribute &quot;%s&quot;</source>
        <translation>%s has no attribute &quot;%s&quot;</translation>
    </message>
    <message id="3164">
        <source>%s needs the attribute %s</source>
        <translation>%s needs the attribute %s</translation>
    </message>
    <message id="3165">
        <source>%s must be a whole number from %s to %s, not &quot;%s&quot;</source>
        <translation>%s must be a whole number from %s to %s, not &quot;%s&quot;</translation>
    </message>
    <message id="3166">
        <source>%s must be a folder inside the gallery, not &quot;%s&quot;</source>
        <translation>%s must be a folder inside the gallery, not &quot;%s&quot;</translation>
    </message>
    <message id="3167">
        <source>%s must list pixel densities from 1 to 4 separated by commas, such as 1,2, not &quot;%s&quot;</source>
        <translation>%s must list pixel densities from 1 to 4 separated by commas, such as 1,2, not &quot;%s&quot;</translation>
    </message>
    <message id="3168">
        <source>there is no layer &quot;%s&quot; in this layout</source>
        <translation>there is no layer &quot;%s&quot; in this layout</translation>
    </message>
    <message id="3169">
        <source>the word &quot;%s&quot; is missing for %s</source>
        <translation>the word &quot;%s&quot; is missing for %s</translation>
    </message>
    <message id="2330">
        <source>the word &quot;%s&quot; needs the words file %s with a section per language</source>
        <translation>the word &quot;%s&quot; needs the words file %s with a section per language</translation>
    </message>
    <message id="2331">
        <source>this line is neither &quot;[language]&quot;, nor &quot;key = text&quot; below a language, nor a comment</source>
        <translation>this line is neither &quot;[language]&quot;, nor &quot;key = text&quot; below a language, nor a comment</translation>
    </message>
    <message id="2332">
        <source>%s stands in the table row but outside the picture cell, so it shows only the first picture of each row</source>
        <translation>%s stands in the table row but outside the picture cell, so it shows only the first picture of each row</translation>
    </message>
    <message id="2333">
        <source>%s stands outside the picture cell, so it shows only the first picture of each page</source>
        <translation>%s stands outside the picture cell, so it shows only the first picture of each page</translation>
    </message>
    <message id="2334">
        <source>the picture cell is not inside a table row (&lt;tr&gt;...&lt;/tr&gt;), so each page shows only its first row of pictures</source>
        <translation>the picture cell is not inside a table row (&lt;tr&gt;...&lt;/tr&gt;), so each page shows only its first row of pictures</translation>
    </message>
    <message id="2335">
        <source>did you mean &quot;%s&quot;?</source>
        <translation>did you mean &quot;%s&quot;?</translation>
    </message>
    <message id="1200">
        <source>&amp;Edit</source>
        <translation>&amp;Edit</translation>
    </message>
    <message id="1201">
        <source>&amp;Undo</source>
        <translation>&amp;Undo</translation>
    </message>
    <message id="1202">
        <source>&amp;Redo</source>
        <translation>&amp;Redo</translation>
    </message>
    <message id="1203">
        <source>&amp;Recent projects</source>
        <translation>&amp;Recent projects</translation>
    </message>
    <message id="2270">
        <source>Move picture</source>
        <translation>Move picture</translation>
    </message>
    <message id="2271">
        <source>Check mark</source>
        <translation>Check mark</translation>
    </message>
    <message id="3120">
        <source>The project %s no longer exists. It has been removed from the recent projects.</source>
        <translation>The project %s no longer exists. It has been removed from the recent projects.</translation>
    </message>
    <message id="3121">
        <source>No output folder is given.</source>
        <translation>No output folder is given.</translation>
    </message>
    <message id="3122">
        <source>The output folder %s does not exist.</source>
        <translation>The output folder %s does not exist.</translation>
    </message>
    <message id="3123">
        <source>A sub-folder name may hold only the letters A to Z and a to z, the digits 0 to 9 and the path separators / and \.</source>
        <translation>A sub-folder name may hold only the letters A to Z and a to z, the digits 0 to 9 and the path separators / and \.</translation>
    </message>
    <message id="2300">
        <source>Gallery language</source>
        <translation>Gallery language</translation>
    </message>
    <message id="2301">
        <source>Pixel densities</source>
        <translation>Pixel densities</translation>
    </message>
    <message id="2302">
        <source>Picture sizes, all densities: %.0n bytes</source>
        <translation>Picture sizes, all densities: %.0n bytes</translation>
    </message>
    <message id="2303">
        <source>Also writes every picture at two, three or four times the frame, for sharp screens; 1× is always written</source>
        <translation>Also writes every picture at two, three or four times the frame, for sharp screens; 1× is always written</translation>
    </message>
    <message id="2304">
        <source>The language of the words the layout puts into the gallery's pages</source>
        <translation>The language of the words the layout puts into the gallery's pages</translation>
    </message>
</context>
</TS>
