<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AspectRatioEdit</name>
    <message>
        <source>Enter ratio (W/H)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AspectRatioModel</name>
    <message>
        <source>Unconstained (default)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preserve aspect ratio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Custom...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CApplication</name>
    <message>
        <source>Lightroom Batch processing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lightroom Batch processing is not supported for this application.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CBaseApplication</name>
    <message>
        <source>Lightroom Batch processing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initializing CE</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CBaseCorrectionToolPane</name>
    <message>
        <source>Apply and close tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset tool</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CBaseGraphicsView</name>
    <message>
        <source>Before</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>After</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CBaseMainWindow</name>
    <message>
        <source>Open Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save File As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The picture has been modified. Do you want to save changes?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Photoshop has been crashed. Would you like to save image to the file?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sorry, file could not be opened</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCheckForUpdateManager</name>
    <message>
        <source>Check for update error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You are using the latest version of %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCropCorrection</name>
    <message>
        <source>Crop</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCropPoint</name>
    <message>
        <source>Crop rect corner point moved</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCropRect</name>
    <message>
        <source>Crop rect moved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crop rect moved be keyboard</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCropSettings</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crop (C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Aspect Ratio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Constrain to image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crop correction is activated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crop correction is applyed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Aspect ration changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Correction type changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crop constrain to image - on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crop constrain to image - off</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCropToolPane</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mask opacity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDockTitle</name>
    <message>
        <source>Unpin palette</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDockWidget</name>
    <message>
        <source>Pin palette</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unpin palette</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CFileFailureTexts</name>
    <message>
        <source>The file does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This is a folder, a pipe or a device, not a picture file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The picture in the file is damaged or incomplete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is neither a JPEG nor a TIFF picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera raw files cannot be opened; please convert the file to TIFF or JPEG first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only grey and RGB pictures can be opened, not CMYK or Lab ones.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The picture is too large: at most 250 million pixels can be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The picture is smaller than 32 pixels on a side.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough memory to open the picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have no permission to read this file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is too large to be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file name is too long.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A folder of this name already exists.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pictures can be saved only as JPEG or TIFF files.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file would be larger than the disk or the file format allows.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough memory to save the picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have no permission to write in this folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The disk is read-only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is write-protected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The disk is full.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The save was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The path leads round a loop of symbolic links.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CFileSaveDialog</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JPEG Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TIFF Options</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CFileSelectionForExifDialog</name>
    <message>
        <source>Load original image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File does not contain any valid EXIF data</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CHorizonCorrection</name>
    <message>
        <source>HORIZON</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CHorizonSettings</name>
    <message>
        <source>Horizontal level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vertical level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CHorizonToolPane</name>
    <message>
        <source>Line Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CKeystoningCorrection</name>
    <message>
        <source>PERSPECTIVE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keystoning correction partially applied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keystoning correction scene point moved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keystoning correction scene edge moved</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CKeystoningSettings</name>
    <message>
        <source>Force vertical parallel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Force horizontal parallel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Force Rectangle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8 points</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Natural</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Up / Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Left / Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Horizontal / Vertical Ratio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Intensity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move intensity to natural value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move intensity to full value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activate horizontal correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply horizontal correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activate vertical correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply vertical correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activate rectangle correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply rectangle correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Activate 8 points correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply 8 points correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Natural intensity applied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full intensity applied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EXIF data present in this image did not allow for a fully automated correction. Please use the &quot;Ratio&quot; slider to more accurately recover the proportions of the image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CKeystoningToolPane</name>
    <message>
        <source>Line Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vertical lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Horizontal lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CLanguageManager</name>
    <message>
        <source>language name</source>
        <translation>English</translation>
    </message>
    <message>
        <source>language number</source>
        <translation>1033</translation>
    </message>
</context>
<context>
    <name>CLoupeWidget</name>
    <message>
        <source>Loupe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display only tools actions</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMainWindow</name>
    <message>
        <source>Image is rotated to Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image is opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset all corrections</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Press &quot;%1&quot; to toggle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch to Single view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch to Double view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standard Display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Show Controls</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Hide Controls</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error opening custom css file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sorry but this application doesn&apos;t support opening multiply images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File path is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sorry, file could not be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perspective correction cannot be applied from current anchor points location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Photoshop has been crashed. Would you like to save image to the file?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file could not be saved. Please check that you have the required permissions.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All your corrections will be reset. Do you want to rotate image?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image is rotated to Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide Grid overlay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Grid overlay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recall snapshot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>https://www.example.com/&lt;locale&gt;/redirect/quillet/support</source>
        <translation>https://www.example.com/intl/redirect/quillet/support</translation>
    </message>
    <message>
        <source>https://www.example.com/&lt;locale&gt;/Navik_Orvane/getting_started/</source>
        <translation>https://www.example.com/intl/photo/navik_academy#filter-langue-en</translation>
    </message>
    <message>
        <source>The corrected picture could not be prepared for Photoshop. Nothing was handed back; your changes are kept.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Navik Quillet cannot find the EXIF data it needs in this file. It is probably not the original image file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file could not be saved.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>COutsidePanelWidget</name>
    <message>
        <source>Reset module</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Module enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Module disabled</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CPreferencesDlg</name>
    <message>
        <source>The selected language will be taken into account after the next application start.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CProgressBar</name>
    <message>
        <source>B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MB</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CProgressDrawer</name>
    <message>
        <source>Processing</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CRecentFiles</name>
    <message>
        <source>The selected image could not be found. Please check that the file was not moved and that the disk is connected.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CRecentFilesDelegate</name>
    <message>
        <source>Open other file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CStartTextDrawer</name>
    <message>
        <source>Drag &amp; drop picture here to start editing</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CZoomComboBox</name>
    <message>
        <source>Fit to view</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CZoomController</name>
    <message>
        <source>Zoom Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CZoomSlider</name>
    <message>
        <source>Change Zoom</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CheckForUpdateDialog</name>
    <message>
        <source>New update available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A NEW UPDATE IS AVAILABLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remind me later</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileSaveDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JPEG quality:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TIFF quality:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>converted and compressed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>converted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>normal</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileSelectionForExifDialog</name>
    <message>
        <source>Open original image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NAVIK QUILLET NEEDS TO OPEN THE ORIGINAL IMAGE FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Why do I need to do that?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In order to correct optical distortion, Navik Quillet requires very precise information about the shooting parameters. This information is available in the EXIF data of the file taken by your camera, but it is not present in the current image - possibly because of modification to the photo in another software.

The file you will provide here will not be modified, Navik Quillet will only retrieve this data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Application name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F&amp;ile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Display</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Correction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Visualization</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Single</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display corrected and initial image one behind the other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display corrected and initial image side by side</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom to 100%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fit to screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spliter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Hide Controls</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide controls</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H&amp;ide Loupe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Online user guide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Getting started...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Visit web site</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Make Crash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fast Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pointer tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hand Tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hand tool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Grid overlay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle Grid overlay</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recent images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotate Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotate Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Take Snapshot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore Snapshot</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CAboutDlg</name>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Build</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CMessageBox</name>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Don&apos;t save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CScripting</name>
    <message>
        <source>uncaught exception at line</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Image files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>_NavikQlt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sorry, but this file type is not supported. Please, try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sorry, but type of these files are not supported. Please, try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t create file with name %1. Try to use another name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>As shot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default B&amp;W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No grain</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current film rendering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JPEG Image files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TIFF Image files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RAW Image files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The following file already exists:%1Do you want to overwrite it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export all presets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mac free space drive message</source>
        <translation>Navik Quillet cannot start since there is not enough free space on your system disk.</translation>
    </message>
    <message>
        <source>Out of memory. Program will be closed.</source>
        <translation>Navik Quillet must close because there is not enough memory available.
Please close some other programs and try to start Navik Quillet again.</translation>
    </message>
    <message>
        <source>%1 has run out of memory. The application may now become unstable. Please close %2 and Photoshop, quit all other programs running, and try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unhandled exception. Program will be closed.</source>
        <translation>Navik Quillet must close because of an unhandled exception.</translation>
    </message>
    <message>
        <source>px</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mm</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>aboutDlg</name>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright © Navik Labs. All rights reserved. %1 is protected by copyright law and international treaties. Navik Labs and %1 are trademarks of Navik Labs; all other names are trademarks of their respective owners.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parts of this product are covered by patents. The list of patents is at &lt;a href=&quot;https://www.example.com/intl/redirect/quill/patents&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#88acd5;&quot;&gt;www.example.com&lt;/span&gt;&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>baseUIPanelWidget</name>
    <message>
        <source>Reset correction</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>preferences</name>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>preferencesDlg</name>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Background color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overlay grid size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pixels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display image size / Unit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;I agree to participate anonymously in the &lt;a href=&quot;https://www.example.com/intl/redirect/quillet/improvement_program&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#d2d2d2;&quot;&gt;Product Improvement Program&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send crash reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Navik Product</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
