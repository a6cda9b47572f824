<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
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
    <name>CMainWindow</name>
    <message>
        <source>Image is rotated to Right</source>
        <translation>Bild nach rechts gedreht</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Image is opened</source>
        <translation>Bild geöffnet</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>Korrektur</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Werkzeuge</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Zuschneiden</translation>
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
    <name>CPreviewCorrectionModule</name>
    <message>
        <source>HORIZON</source>
        <translation>HORIZONT</translation>
    </message>
</context>
<context>
    <name>CPreviewSettingsWidget</name>
    <message>
        <source>Rotation</source>
        <translation>Drehung</translation>
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
    <name>CStartTextDrawer</name>
    <message>
        <source>Drag &amp; drop picture here to start editing</source>
        <translation>Bild hierher ziehen, um mit der Bearbeitung zu beginnen</translation>
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
</TS>
