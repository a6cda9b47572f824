<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AspectRatioEdit</name>
    <message>
        <source>Enter ratio (W/H)</source>
        <translation>B/H eingeben</translation>
    </message>
</context>
<context>
    <name>AspectRatioModel</name>
    <message>
        <source>Unconstained (default)</source>
        <translation>Frei (Standard)</translation>
    </message>
    <message>
        <source>Preserve aspect ratio</source>
        <translation>Originalverhältnis</translation>
    </message>
    <message>
        <source>Add Custom...</source>
        <translation>Eigenes hinzufügen...</translation>
    </message>
</context>
<context>
    <name>CApplication</name>
    <message>
        <source>Lightroom Batch processing.</source>
        <translation>Lightroom-Stapelverarbeitung.</translation>
    </message>
    <message>
        <source>Lightroom Batch processing is not supported for this application.</source>
        <translation>Die Lightroom-Stapelverarbeitung wird von dieser Anwendung nicht unterstützt.</translation>
    </message>
</context>
<context>
    <name>CBaseApplication</name>
    <message>
        <source>Lightroom Batch processing.</source>
        <translation>Lightroom-Stapelverarbeitung.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Initializing CE</source>
        <translation>Initialisierung der Korrektur-Engine</translation>
    </message>
</context>
<context>
    <name>CBaseCorrectionToolPane</name>
    <message>
        <source>Apply and close tool</source>
        <translation>Anwenden und Werkzeug schließen</translation>
    </message>
    <message>
        <source>Reset tool</source>
        <translation>Werkzeug zurücksetzen</translation>
    </message>
</context>
<context>
    <name>CBaseGraphicsView</name>
    <message>
        <source>Before</source>
        <translation>Vorher</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Nachher</translation>
    </message>
</context>
<context>
    <name>CBaseMainWindow</name>
    <message>
        <source>Open Image</source>
        <translation>Bild öffnen</translation>
    </message>
    <message>
        <source>Save File As</source>
        <translation>Datei speichern unter</translation>
    </message>
    <message>
        <source>The picture has been modified. Do you want to save changes?</source>
        <translation>Das Bild wurde geändert. Möchten Sie die Änderungen speichern?</translation>
    </message>
    <message>
        <source>Photoshop has been crashed. Would you like to save image to the file?</source>
        <translation>Photoshop ist abgestürzt. Möchten Sie das Bild in einer Datei speichern?</translation>
    </message>
    <message>
        <source>Sorry, file could not be opened</source>
        <translation>Die Datei konnte leider nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>CCheckForUpdateManager</name>
    <message>
        <source>Check for update error: %1</source>
        <translation>Fehler bei der Suche nach Aktualisierungen: %1</translation>
    </message>
    <message>
        <source>You are using the latest version of %1.</source>
        <translation>Sie verwenden die neueste Version von %1.</translation>
    </message>
</context>
<context>
    <name>CCropCorrection</name>
    <message>
        <source>Crop</source>
        <translation>Zuschneiden</translation>
    </message>
</context>
<context>
    <name>CCropPoint</name>
    <message>
        <source>Crop rect corner point moved</source>
        <translation>Griff des Zuschneiderahmens verschoben</translation>
    </message>
</context>
<context>
    <name>CCropRect</name>
    <message>
        <source>Crop rect moved</source>
        <translation>Zuschneiderahmen verschoben</translation>
    </message>
    <message>
        <source>Crop rect moved be keyboard</source>
        <translation>Zuschneiderahmen mit der Tastatur verschoben</translation>
    </message>
</context>
<context>
    <name>CCropSettings</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Crop (C)</source>
        <translation>Zuschneiden (C)</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>Korrektur</translation>
    </message>
    <message>
        <source>Aspect Ratio</source>
        <translation>Seitenverhältnis</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manuell</translation>
    </message>
    <message>
        <source>Constrain to image</source>
        <translation>Auf Bild beschränken</translation>
    </message>
    <message>
        <source>Crop correction is activated</source>
        <translation>Zuschneiden aktiviert</translation>
    </message>
    <message>
        <source>Crop correction is applyed</source>
        <translation>Zuschneiden angewendet</translation>
    </message>
    <message>
        <source>Aspect ration changed</source>
        <translation>Seitenverhältnis geändert</translation>
    </message>
    <message>
        <source>Correction type changed</source>
        <translation>Korrekturart geändert</translation>
    </message>
    <message>
        <source>Crop constrain to image - on</source>
        <translation>Zuschnitt auf Bild beschränkt - ein</translation>
    </message>
    <message>
        <source>Crop constrain to image - off</source>
        <translation>Zuschnitt auf Bild beschränkt - aus</translation>
    </message>
</context>
<context>
    <name>CCropToolPane</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Show grid</source>
        <translation>Raster anzeigen</translation>
    </message>
    <message>
        <source>Mask opacity</source>
        <translation>Deckkraft der Maske</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
</context>
<context>
    <name>CDockTitle</name>
    <message>
        <source>Unpin palette</source>
        <translation>Palette lösen</translation>
    </message>
</context>
<context>
    <name>CDockWidget</name>
    <message>
        <source>Pin palette</source>
        <translation>Palette anheften</translation>
    </message>
    <message>
        <source>Unpin palette</source>
        <translation>Palette lösen</translation>
    </message>
</context>
<context>
    <name>CFileFailureTexts</name>
    <message>
        <source>The file does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
    <message>
        <source>This is a folder, a pipe or a device, not a picture file.</source>
        <translation>Dies ist ein Ordner, eine Pipe oder ein Gerät, keine Bilddatei.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>The picture in the file is damaged or incomplete.</source>
        <translation>Das Bild in der Datei ist beschädigt oder unvollständig.</translation>
    </message>
    <message>
        <source>The file is neither a JPEG nor a TIFF picture.</source>
        <translation>Die Datei ist weder ein JPEG- noch ein TIFF-Bild.</translation>
    </message>
    <message>
        <source>Camera raw files cannot be opened; please convert the file to TIFF or JPEG first.</source>
        <translation>Kamera-RAW-Dateien können nicht geöffnet werden. Bitte wandeln Sie die Datei zuerst in TIFF oder JPEG um.</translation>
    </message>
    <message>
        <source>Only grey and RGB pictures can be opened, not CMYK or Lab ones.</source>
        <translation>Nur Graustufen- und RGB-Bilder können geöffnet werden, keine CMYK- oder Lab-Bilder.</translation>
    </message>
    <message>
        <source>The picture is too large: at most 250 million pixels can be opened.</source>
        <translation>Das Bild ist zu groß: Es können höchstens 250 Millionen Pixel geöffnet werden.</translation>
    </message>
    <message>
        <source>The picture is smaller than 32 pixels on a side.</source>
        <translation>Das Bild ist an einer Seite kleiner als 32 Pixel.</translation>
    </message>
    <message>
        <source>There is not enough memory to open the picture.</source>
        <translation>Es ist nicht genug Speicher vorhanden, um das Bild zu öffnen.</translation>
    </message>
    <message>
        <source>You have no permission to read this file.</source>
        <translation>Sie haben keine Berechtigung, diese Datei zu lesen.</translation>
    </message>
    <message>
        <source>The file is too large to be read.</source>
        <translation>Die Datei ist zu groß, um gelesen zu werden.</translation>
    </message>
    <message>
        <source>The file name is too long.</source>
        <translation>Der Dateiname ist zu lang.</translation>
    </message>
    <message>
        <source>Opening was cancelled.</source>
        <translation>Das Öffnen wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The folder does not exist.</source>
        <translation>Der Ordner existiert nicht.</translation>
    </message>
    <message>
        <source>A folder of this name already exists.</source>
        <translation>Es gibt bereits einen Ordner mit diesem Namen.</translation>
    </message>
    <message>
        <source>Pictures can be saved only as JPEG or TIFF files.</source>
        <translation>Bilder können nur als JPEG- oder TIFF-Dateien gespeichert werden.</translation>
    </message>
    <message>
        <source>The file would be larger than the disk or the file format allows.</source>
        <translation>Die Datei wäre größer, als der Datenträger oder das Dateiformat zulässt.</translation>
    </message>
    <message>
        <source>There is not enough memory to save the picture.</source>
        <translation>Es ist nicht genug Speicher vorhanden, um das Bild zu speichern.</translation>
    </message>
    <message>
        <source>You have no permission to write in this folder.</source>
        <translation>Sie haben keine Berechtigung, in diesen Ordner zu schreiben.</translation>
    </message>
    <message>
        <source>The disk is read-only.</source>
        <translation>Der Datenträger ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>The file is write-protected.</source>
        <translation>Die Datei ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>The disk is full.</source>
        <translation>Der Datenträger ist voll.</translation>
    </message>
    <message>
        <source>The save was cancelled.</source>
        <translation>Das Speichern wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The path leads round a loop of symbolic links.</source>
        <translation>Der Pfad führt in eine Schleife symbolischer Links.</translation>
    </message>
</context>
<context>
    <name>CFileSaveDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>JPEG Options</source>
        <translation>JPEG-Optionen</translation>
    </message>
    <message>
        <source>TIFF Options</source>
        <translation>TIFF-Optionen</translation>
    </message>
</context>
<context>
    <name>CFileSelectionForExifDialog</name>
    <message>
        <source>Load original image</source>
        <translation>Originalbild laden</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>File does not contain any valid EXIF data</source>
        <translation>Die Datei enthält keine gültigen EXIF-Daten</translation>
    </message>
</context>
<context>
    <name>CHorizonCorrection</name>
    <message>
        <source>HORIZON</source>
        <translation>HORIZONT</translation>
    </message>
</context>
<context>
    <name>CHorizonSettings</name>
    <message>
        <source>Horizontal level</source>
        <translation>Horizontal ausrichten</translation>
    </message>
    <message>
        <source>Vertical level</source>
        <translation>Vertikal ausrichten</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>Drehung</translation>
    </message>
</context>
<context>
    <name>CHorizonToolPane</name>
    <message>
        <source>Line Color</source>
        <translation>Linienfarbe</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
</context>
<context>
    <name>CKeystoningCorrection</name>
    <message>
        <source>PERSPECTIVE</source>
        <translation>PERSPEKTIVE</translation>
    </message>
    <message>
        <source>Keystoning correction partially applied</source>
        <translation>Perspektivkorrektur teilweise angewendet</translation>
    </message>
    <message>
        <source>Keystoning correction scene point moved</source>
        <translation>Punkt der Perspektivkorrektur verschoben</translation>
    </message>
    <message>
        <source>Keystoning correction scene edge moved</source>
        <translation>Linie der Perspektivkorrektur verschoben</translation>
    </message>
</context>
<context>
    <name>CKeystoningSettings</name>
    <message>
        <source>Force vertical parallel</source>
        <translation>Vertikale parallel ausrichten</translation>
    </message>
    <message>
        <source>Force horizontal parallel</source>
        <translation>Horizontale parallel ausrichten</translation>
    </message>
    <message>
        <source>Force Rectangle</source>
        <translation>Rechteck erzwingen</translation>
    </message>
    <message>
        <source>8 points</source>
        <translation>8 Punkte</translation>
    </message>
    <message>
        <source>Full</source>
        <translation>Voll</translation>
    </message>
    <message>
        <source>Natural</source>
        <translation>Natürlich</translation>
    </message>
    <message>
        <source>Up / Down</source>
        <translation>Oben / Unten</translation>
    </message>
    <message>
        <source> Left / Right</source>
        <translation> Links / Rechts</translation>
    </message>
    <message>
        <source>Horizontal / Vertical Ratio</source>
        <translation>Verhältnis horizontal / vertikal</translation>
    </message>
    <message>
        <source>Intensity</source>
        <translation>Stärke</translation>
    </message>
    <message>
        <source>Move intensity to natural value</source>
        <translation>Stärke auf den natürlichen Wert setzen</translation>
    </message>
    <message>
        <source>Move intensity to full value</source>
        <translation>Stärke auf den vollen Wert setzen</translation>
    </message>
    <message>
        <source>Activate horizontal correction</source>
        <translation>Horizontale Korrektur aktivieren</translation>
    </message>
    <message>
        <source>Apply horizontal correction</source>
        <translation>Horizontale Korrektur anwenden</translation>
    </message>
    <message>
        <source>Activate vertical correction</source>
        <translation>Vertikale Korrektur aktivieren</translation>
    </message>
    <message>
        <source>Apply vertical correction</source>
        <translation>Vertikale Korrektur anwenden</translation>
    </message>
    <message>
        <source>Activate rectangle correction</source>
        <translation>Rechteckkorrektur aktivieren</translation>
    </message>
    <message>
        <source>Apply rectangle correction</source>
        <translation>Rechteckkorrektur anwenden</translation>
    </message>
    <message>
        <source>Activate 8 points correction</source>
        <translation>8-Punkte-Korrektur aktivieren</translation>
    </message>
    <message>
        <source>Apply 8 points correction</source>
        <translation>8-Punkte-Korrektur anwenden</translation>
    </message>
    <message>
        <source>Natural intensity applied</source>
        <translation>Natürliche Stärke angewendet</translation>
    </message>
    <message>
        <source>Full intensity applied</source>
        <translation>Volle Stärke angewendet</translation>
    </message>
    <message>
        <source>EXIF data present in this image did not allow for a fully automated correction. Please use the &quot;Ratio&quot; slider to more accurately recover the proportions of the image.</source>
        <translation>Die EXIF-Daten dieses Bildes erlauben keine vollautomatische Korrektur. Bitte stellen Sie mit dem Regler &quot;Verhältnis&quot; die Proportionen des Bildes genauer wieder her.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CKeystoningToolPane</name>
    <message>
        <source>Line Color</source>
        <translation>Linienfarbe</translation>
    </message>
    <message>
        <source>Vertical lines</source>
        <translation>Vertikale Linien</translation>
    </message>
    <message>
        <source>Horizontal lines</source>
        <translation>Horizontale Linien</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
</context>
<context>
    <name>CLanguageManager</name>
    <message>
        <source>language name</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>language number</source>
        <translation>1031</translation>
    </message>
</context>
<context>
    <name>CLoupeWidget</name>
    <message>
        <source>Loupe</source>
        <translation>Lupe</translation>
    </message>
    <message>
        <source>Display only tools actions</source>
        <translation>Nur Werkzeugaktionen anzeigen</translation>
    </message>
</context>
<context>
    <name>CMainWindow</name>
    <message>
        <source>Image is rotated to Right</source>
        <translation>Bild nach rechts gedreht</translation>
    </message>
    <message>
        <source>Image is opened</source>
        <translation>Bild geöffnet</translation>
    </message>
    <message>
        <source>Reset all corrections</source>
        <translation>Alle Korrekturen zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>Press &quot;%1&quot; to toggle</source>
        <translation>Zum Umschalten „%1“ drücken</translation>
    </message>
    <message>
        <source>Switch to Single view</source>
        <translation>Zur Einzelansicht wechseln</translation>
    </message>
    <message>
        <source>Switch to Double view</source>
        <translation>Zur Doppelansicht wechseln</translation>
    </message>
    <message>
        <source>Standard Display</source>
        <translation>Standardanzeige</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <source>&amp;Show Controls</source>
        <translation>Bedienelemente &amp;einblenden</translation>
    </message>
    <message>
        <source>&amp;Hide Controls</source>
        <translation>Bedienelemente &amp;ausblenden</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Error opening custom css file</source>
        <translation>Fehler beim Öffnen der Stildatei</translation>
    </message>
    <message>
        <source>Sorry but this application doesn&apos;t support opening multiply images</source>
        <translation>Dieses Programm kann leider nicht mehrere Bilder gleichzeitig öffnen</translation>
    </message>
    <message>
        <source>File path is empty</source>
        <translation>Der Dateipfad ist leer</translation>
    </message>
    <message>
        <source>Sorry, file could not be opened</source>
        <translation>Die Datei konnte leider nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Perspective correction cannot be applied from current anchor points location</source>
        <translation>Die Perspektivkorrektur ist mit der jetzigen Lage der Ankerpunkte nicht möglich</translation>
    </message>
    <message>
        <source>Photoshop has been crashed. Would you like to save image to the file?</source>
        <translation>Photoshop ist abgestürzt. Möchten Sie das Bild in einer Datei speichern?</translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation>Es wurde kein Dateiname angegeben.</translation>
    </message>
    <message>
        <source>The file could not be saved. Please check that you have the required permissions.</source>
        <translation>Die Datei konnte nicht gespeichert werden. Bitte prüfen Sie, ob Sie die nötigen Rechte haben.</translation>
    </message>
    <message>
        <source>All your corrections will be reset. Do you want to rotate image?</source>
        <translation>Alle Korrekturen werden zurückgesetzt. Möchten Sie das Bild drehen?</translation>
    </message>
    <message>
        <source>Image is rotated to Left</source>
        <translation>Bild nach links gedreht</translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation>Alles zurücksetzen</translation>
    </message>
    <message>
        <source>Hide Grid overlay</source>
        <translation>Raster ausblenden</translation>
    </message>
    <message>
        <source>Show Grid overlay</source>
        <translation>Raster einblenden</translation>
    </message>
    <message>
        <source>Recall snapshot</source>
        <translation>Schnappschuss wiederherstellen</translation>
    </message>
    <message>
        <source>https://www.example.com/&lt;locale&gt;/redirect/quillet/support</source>
        <translation>https://www.example.com/de/redirect/quillet/support</translation>
    </message>
    <message>
        <source>https://www.example.com/&lt;locale&gt;/Navik_Orvane/getting_started/</source>
        <translation>https://www.example.com/de/photo/navik_academy#filter-langue-de</translation>
    </message>
    <message>
        <source>The corrected picture could not be prepared for Photoshop. Nothing was handed back; your changes are kept.</source>
        <translation>Das korrigierte Bild konnte nicht für Photoshop vorbereitet werden. Es wurde nichts zurückgegeben; Ihre Änderungen bleiben erhalten.</translation>
    </message>
    <message>
        <source>Navik Quillet cannot find the EXIF data it needs in this file. It is probably not the original image file.</source>
        <translation>Navik Quillet findet in dieser Datei nicht die EXIF-Daten, die es benötigt. Es ist wahrscheinlich nicht die Originalbilddatei.</translation>
    </message>
    <message>
        <source>The file could not be saved.</source>
        <translation>Die Datei konnte nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>COutsidePanelWidget</name>
    <message>
        <source>Reset module</source>
        <translation>Modul zurücksetzen</translation>
    </message>
    <message>
        <source>Module enabled</source>
        <translation>Modul aktiviert</translation>
    </message>
    <message>
        <source>Module disabled</source>
        <translation>Modul deaktiviert</translation>
    </message>
</context>
<context>
    <name>CPreferencesDlg</name>
    <message>
        <source>The selected language will be taken into account after the next application start.</source>
        <translation>Die gewählte Sprache wird beim nächsten Start des Programms übernommen.</translation>
    </message>
</context>
<context>
    <name>CProgressBar</name>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>kB</source>
        <translation>kB</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
</context>
<context>
    <name>CProgressDrawer</name>
    <message>
        <source>Processing</source>
        <translation>Verarbeitung</translation>
    </message>
</context>
<context>
    <name>CRecentFiles</name>
    <message>
        <source>The selected image could not be found. Please check that the file was not moved and that the disk is connected.</source>
        <translation>Das ausgewählte Bild wurde nicht gefunden. Bitte prüfen Sie, ob die Datei verschoben wurde und ob das Laufwerk angeschlossen ist.</translation>
    </message>
</context>
<context>
    <name>CRecentFilesDelegate</name>
    <message>
        <source>Open other file</source>
        <translation>Andere Datei öffnen</translation>
    </message>
</context>
<context>
    <name>CStartTextDrawer</name>
    <message>
        <source>Drag &amp; drop picture here to start editing</source>
        <translation>Bild hierher ziehen, um mit der Bearbeitung zu beginnen</translation>
    </message>
</context>
<context>
    <name>CZoomComboBox</name>
    <message>
        <source>Fit to view</source>
        <translation>An Ansicht anpassen</translation>
    </message>
</context>
<context>
    <name>CZoomController</name>
    <message>
        <source>Zoom Out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
</context>
<context>
    <name>CZoomSlider</name>
    <message>
        <source>Change Zoom</source>
        <translation>Zoom ändern</translation>
    </message>
</context>
<context>
    <name>CheckForUpdateDialog</name>
    <message>
        <source>New update available</source>
        <translation>Neue Aktualisierung verfügbar</translation>
    </message>
    <message>
        <source>A NEW UPDATE IS AVAILABLE</source>
        <translation>EINE NEUE AKTUALISIERUNG IST VERFÜGBAR</translation>
    </message>
    <message>
        <source>Remind me later</source>
        <translation>Später erinnern</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
</context>
<context>
    <name>FileSaveDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>JPEG quality:</source>
        <translation>JPEG-Qualität:</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>TIFF quality:</source>
        <translation>TIFF-Qualität:</translation>
    </message>
    <message>
        <source>converted and compressed</source>
        <translation>konvertiert und komprimiert</translation>
    </message>
    <message>
        <source>converted</source>
        <translation>konvertiert</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>normal</translation>
    </message>
</context>
<context>
    <name>FileSelectionForExifDialog</name>
    <message>
        <source>Open original image</source>
        <translation>Originalbild öffnen</translation>
    </message>
    <message>
        <source>NAVIK QUILLET NEEDS TO OPEN THE ORIGINAL IMAGE FILE</source>
        <translation>NAVIK QUILLET MUSS DIE ORIGINALBILDDATEI ÖFFNEN</translation>
    </message>
    <message>
        <source>Why do I need to do that?</source>
        <translation>Warum ist das nötig?</translation>
    </message>
    <message>
        <source>In order to correct optical distortion, Navik Quillet requires very precise information about the shooting parameters. This information is available in the EXIF data of the file taken by your camera, but it is not present in the current image - possibly because of modification to the photo in another software.

The file you will provide here will not be modified, Navik Quillet will only retrieve this data.</source>
        <translation>Um die optische Verzeichnung zu korrigieren, benötigt Navik Quillet sehr genaue Angaben zu den Aufnahmeparametern. Diese Angaben stehen in den EXIF-Daten der Datei, die Ihre Kamera erstellt hat, fehlen aber im aktuellen Bild – vermutlich, weil das Foto in einer anderen Software bearbeitet wurde.

Die Datei, die Sie hier angeben, wird nicht verändert; Navik Quillet liest nur diese Daten aus.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Application name</source>
        <translation>Programmname</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>F&amp;ile</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Display</source>
        <translation>&amp;Anzeige</translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>Korrektur</translation>
    </message>
    <message>
        <source>Visualization</source>
        <translation>Ansicht</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>Einzeln</translation>
    </message>
    <message>
        <source>Display corrected and initial image one behind the other</source>
        <translation>Korrigiertes und ursprüngliches Bild hintereinander zeigen</translation>
    </message>
    <message>
        <source>Double</source>
        <translation>Doppelt</translation>
    </message>
    <message>
        <source>Display corrected and initial image side by side</source>
        <translation>Korrigiertes und ursprüngliches Bild nebeneinander zeigen</translation>
    </message>
    <message>
        <source>Zoom Default</source>
        <translation>Standardzoom</translation>
    </message>
    <message>
        <source>Zoom to 100%</source>
        <translation>Auf 100 % zoomen</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>Einpassen</translation>
    </message>
    <message>
        <source>Fit to screen</source>
        <translation>In Fenster einpassen</translation>
    </message>
    <message>
        <source>Spliter</source>
        <translation>Trenner</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>&amp;Vollbild</translation>
    </message>
    <message>
        <source>&amp;Hide Controls</source>
        <translation>Bedienelemente &amp;ausblenden</translation>
    </message>
    <message>
        <source>Hide controls</source>
        <translation>Bedienelemente ausblenden</translation>
    </message>
    <message>
        <source>H&amp;ide Loupe</source>
        <translation>&amp;Lupe ausblenden</translation>
    </message>
    <message>
        <source>&amp;Online user guide</source>
        <translation>&amp;Online-Handbuch</translation>
    </message>
    <message>
        <source>&amp;Getting started...</source>
        <translation>&amp;Erste Schritte...</translation>
    </message>
    <message>
        <source>&amp;Visit web site</source>
        <translation>&amp;Website besuchen</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Make Crash</source>
        <translation>Absturz auslösen</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Zuschneiden</translation>
    </message>
    <message>
        <source>Fast Preview</source>
        <translation>Schnellvorschau</translation>
    </message>
    <message>
        <source>Pointer tool</source>
        <translation>Zeigerwerkzeug</translation>
    </message>
    <message>
        <source>Hand Tool</source>
        <translation>Handwerkzeug</translation>
    </message>
    <message>
        <source>Hand tool</source>
        <translation>Handwerkzeug</translation>
    </message>
    <message>
        <source>Show Grid overlay</source>
        <translation>Raster einblenden</translation>
    </message>
    <message>
        <source>Toggle Grid overlay</source>
        <translation>Raster ein- oder ausblenden</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Widerrufen</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Recent images</source>
        <translation>Zuletzt geöffnete Bilder</translation>
    </message>
    <message>
        <source>Rotate Left</source>
        <translation>Nach links drehen</translation>
    </message>
    <message>
        <source>Rotate Right</source>
        <translation>Nach rechts drehen</translation>
    </message>
    <message>
        <source>Take Snapshot</source>
        <translation>Schnappschuss aufnehmen</translation>
    </message>
    <message>
        <source>Restore Snapshot</source>
        <translation>Schnappschuss wiederherstellen</translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CAboutDlg</name>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Build</source>
        <translation>Build</translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CMessageBox</name>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Don&apos;t save</source>
        <translation>Nicht speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>Drehen</translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CScripting</name>
    <message>
        <source>uncaught exception at line</source>
        <translation>nicht abgefangene Ausnahme in Zeile</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Image files</source>
        <translation>Bilddateien</translation>
    </message>
    <message>
        <source>Preset files</source>
        <translation>Vorgabendateien</translation>
    </message>
    <message>
        <source>_NavikQlt</source>
        <translation>_NavikQlt</translation>
    </message>
    <message>
        <source>Sorry, but this file type is not supported. Please, try again.</source>
        <translation>Dieser Dateityp wird leider nicht unterstützt. Bitte versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Sorry, but type of these files are not supported. Please, try again.</source>
        <translation>Der Typ dieser Dateien wird leider nicht unterstützt. Bitte versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Can&apos;t create file with name %1. Try to use another name.</source>
        <translation>Die Datei mit dem Namen %1 kann nicht erstellt werden. Versuchen Sie es mit einem anderen Namen.</translation>
    </message>
    <message>
        <source>As shot</source>
        <translation>Wie Aufnahme</translation>
    </message>
    <message>
        <source>Default B&amp;W</source>
        <translation>Standard-S/W</translation>
    </message>
    <message>
        <source>No grain</source>
        <translation>Keine Körnung</translation>
    </message>
    <message>
        <source>Current film rendering</source>
        <translation>Aktuelle Filmwiedergabe</translation>
    </message>
    <message>
        <source>JPEG Image files</source>
        <translation>JPEG-Bilddateien</translation>
    </message>
    <message>
        <source>TIFF Image files</source>
        <translation>TIFF-Bilddateien</translation>
    </message>
    <message>
        <source>RAW Image files</source>
        <translation>RAW-Bilddateien</translation>
    </message>
    <message>
        <source>The following file already exists:%1Do you want to overwrite it?</source>
        <translation>Die folgende Datei ist bereits vorhanden:%1Möchten Sie sie überschreiben?</translation>
    </message>
    <message>
        <source>Export all presets</source>
        <translation>Alle Vorgaben exportieren</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Mac free space drive message</source>
        <translation>Navik Quillet kann nicht gestartet werden, da auf Ihrem Systemlaufwerk nicht genügend freier Speicherplatz vorhanden ist.</translation>
    </message>
    <message>
        <source>Out of memory. Program will be closed.</source>
        <translation>Navik Quillet muss beendet werden, da nicht genügend Arbeitsspeicher verfügbar ist.
Bitte schließen Sie andere Programme und starten Sie Navik Quillet erneut.</translation>
    </message>
    <message>
        <source>%1 has run out of memory. The application may now become unstable. Please close %2 and Photoshop, quit all other programs running, and try again.</source>
        <translation>%1 hat nicht mehr genügend Arbeitsspeicher. Die Anwendung kann jetzt instabil werden. Bitte schließen Sie %2 und Photoshop, beenden Sie alle anderen laufenden Programme und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Unhandled exception. Program will be closed.</source>
        <translation>Navik Quillet muss wegen einer unbehandelten Ausnahme beendet werden.</translation>
    </message>
    <message>
        <source>px</source>
        <translation>px</translation>
    </message>
    <message>
        <source>in</source>
        <translation>Zoll</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>mm</translation>
    </message>
</context>
<context>
    <name>aboutDlg</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Copyright © Navik Labs. All rights reserved. %1 is protected by copyright law and international treaties. Navik Labs and %1 are trademarks of Navik Labs; all other names are trademarks of their respective owners.</source>
        <translation>Copyright © Navik Labs. Alle Rechte vorbehalten. %1 ist durch das Urheberrecht und internationale Verträge geschützt. Navik Labs und %1 sind Marken von Navik Labs; alle anderen Namen sind Marken ihrer jeweiligen Inhaber.</translation>
    </message>
    <message>
        <source>Parts of this product are covered by patents. The list of patents is at &lt;a href=&quot;https://www.example.com/intl/redirect/quill/patents&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#88acd5;&quot;&gt;www.example.com&lt;/span&gt;&lt;/a&gt;</source>
        <translation>Teile dieses Produkts sind durch Patente geschützt. Die Liste der Patente finden Sie unter &lt;a href=&quot;https://www.example.com/intl/redirect/quill/patents&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#88acd5;&quot;&gt;www.example.com&lt;/span&gt;&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>baseUIPanelWidget</name>
    <message>
        <source>Reset correction</source>
        <translation>Korrektur zurücksetzen</translation>
    </message>
</context>
<context>
    <name>preferences</name>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>preferencesDlg</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Sprache:</translation>
    </message>
    <message>
        <source>Background color</source>
        <translation>Hintergrundfarbe</translation>
    </message>
    <message>
        <source>Overlay grid size</source>
        <translation>Rastergröße</translation>
    </message>
    <message>
        <source>pixels</source>
        <translation>Pixel</translation>
    </message>
    <message>
        <source>Display image size / Unit</source>
        <translation>Bildgröße / Einheit anzeigen</translation>
    </message>
    <message>
        <source>&lt;p&gt;I agree to participate anonymously in the &lt;a href=&quot;https://www.example.com/intl/redirect/quillet/improvement_program&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#d2d2d2;&quot;&gt;Product Improvement Program&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;p&gt;Ich nehme anonym am &lt;a href=&quot;https://www.example.com/intl/redirect/quillet/improvement_program&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#d2d2d2;&quot;&gt;Programm zur Produktverbesserung&lt;/span&gt;&lt;/a&gt; teil&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Send crash reports</source>
        <translation>Absturzberichte senden</translation>
    </message>
    <message>
        <source>About Navik Product</source>
        <translation>Über Navik Product</translation>
    </message>
</context>
</TS>
