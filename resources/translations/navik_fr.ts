<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AspectRatioEdit</name>
    <message>
        <source>Enter ratio (W/H)</source>
        <translation>Saisir le rapport (L/H)</translation>
    </message>
</context>
<context>
    <name>AspectRatioModel</name>
    <message>
        <source>Unconstained (default)</source>
        <translation>Libre (par défaut)</translation>
    </message>
    <message>
        <source>Preserve aspect ratio</source>
        <translation>Conserver les proportions</translation>
    </message>
    <message>
        <source>Add Custom...</source>
        <translation>Ajouter un rapport personnalisé...</translation>
    </message>
</context>
<context>
    <name>CApplication</name>
    <message>
        <source>Lightroom Batch processing.</source>
        <translation>Traitement par lots Lightroom.</translation>
    </message>
    <message>
        <source>Lightroom Batch processing is not supported for this application.</source>
        <translation>Le traitement par lots Lightroom n’est pas pris en charge par cette application.</translation>
    </message>
</context>
<context>
    <name>CBaseApplication</name>
    <message>
        <source>Lightroom Batch processing.</source>
        <translation>Traitement par lots Lightroom.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>Initializing CE</source>
        <translation>Initialisation du moteur de correction</translation>
    </message>
</context>
<context>
    <name>CBaseCorrectionToolPane</name>
    <message>
        <source>Apply and close tool</source>
        <translation>Appliquer et fermer l’outil</translation>
    </message>
    <message>
        <source>Reset tool</source>
        <translation>Réinitialiser l’outil</translation>
    </message>
</context>
<context>
    <name>CBaseGraphicsView</name>
    <message>
        <source>Before</source>
        <translation>Avant</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Après</translation>
    </message>
</context>
<context>
    <name>CBaseMainWindow</name>
    <message>
        <source>Open Image</source>
        <translation>Ouvrir une image</translation>
    </message>
    <message>
        <source>Save File As</source>
        <translation>Enregistrer le fichier sous</translation>
    </message>
    <message>
        <source>The picture has been modified. Do you want to save changes?</source>
        <translation>L&apos;image a été modifiée. Voulez-vous enregistrer les modifications ?</translation>
    </message>
    <message>
        <source>Photoshop has been crashed. Would you like to save image to the file?</source>
        <translation>Photoshop s&apos;est arrêté de manière inattendue. Voulez-vous enregistrer l&apos;image dans un fichier ?</translation>
    </message>
    <message>
        <source>Sorry, file could not be opened</source>
        <translation>Désolé, le fichier n’a pas pu être ouvert</translation>
    </message>
</context>
<context>
    <name>CCheckForUpdateManager</name>
    <message>
        <source>Check for update error: %1</source>
        <translation>Erreur lors de la recherche de mises à jour : %1</translation>
    </message>
    <message>
        <source>You are using the latest version of %1.</source>
        <translation>Vous utilisez la dernière version de %1.</translation>
    </message>
</context>
<context>
    <name>CCropCorrection</name>
    <message>
        <source>Crop</source>
        <translation>Recadrage</translation>
    </message>
</context>
<context>
    <name>CCropPoint</name>
    <message>
        <source>Crop rect corner point moved</source>
        <translation>Poignée du cadre de recadrage déplacée</translation>
    </message>
</context>
<context>
    <name>CCropRect</name>
    <message>
        <source>Crop rect moved</source>
        <translation>Cadre de recadrage déplacé</translation>
    </message>
    <message>
        <source>Crop rect moved be keyboard</source>
        <translation>Cadre de recadrage déplacé au clavier</translation>
    </message>
</context>
<context>
    <name>CCropSettings</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Crop (C)</source>
        <translation>Recadrer (C)</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>Correction</translation>
    </message>
    <message>
        <source>Aspect Ratio</source>
        <translation>Proportions</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manuel</translation>
    </message>
    <message>
        <source>Constrain to image</source>
        <translation>Limiter à l&apos;image</translation>
    </message>
    <message>
        <source>Crop correction is activated</source>
        <translation>Recadrage activé</translation>
    </message>
    <message>
        <source>Crop correction is applyed</source>
        <translation>Recadrage appliqué</translation>
    </message>
    <message>
        <source>Aspect ration changed</source>
        <translation>Proportions modifiées</translation>
    </message>
    <message>
        <source>Correction type changed</source>
        <translation>Type de correction modifié</translation>
    </message>
    <message>
        <source>Crop constrain to image - on</source>
        <translation>Recadrage limité à l&apos;image - activé</translation>
    </message>
    <message>
        <source>Crop constrain to image - off</source>
        <translation>Recadrage limité à l&apos;image - désactivé</translation>
    </message>
</context>
<context>
    <name>CCropToolPane</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Show grid</source>
        <translation>Afficher la grille</translation>
    </message>
    <message>
        <source>Mask opacity</source>
        <translation>Opacité du masque</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
</context>
<context>
    <name>CDockTitle</name>
    <message>
        <source>Unpin palette</source>
        <translation>Détacher la palette</translation>
    </message>
</context>
<context>
    <name>CDockWidget</name>
    <message>
        <source>Pin palette</source>
        <translation>Ancrer la palette</translation>
    </message>
    <message>
        <source>Unpin palette</source>
        <translation>Détacher la palette</translation>
    </message>
</context>
<context>
    <name>CFileFailureTexts</name>
    <message>
        <source>The file does not exist.</source>
        <translation>Le fichier n’existe pas.</translation>
    </message>
    <message>
        <source>This is a folder, a pipe or a device, not a picture file.</source>
        <translation>Il s’agit d’un dossier, d’un tube ou d’un périphérique, pas d’un fichier image.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Le fichier est vide.</translation>
    </message>
    <message>
        <source>The picture in the file is damaged or incomplete.</source>
        <translation>L’image contenue dans le fichier est endommagée ou incomplète.</translation>
    </message>
    <message>
        <source>The file is neither a JPEG nor a TIFF picture.</source>
        <translation>Le fichier n’est ni une image JPEG ni une image TIFF.</translation>
    </message>
    <message>
        <source>Camera raw files cannot be opened; please convert the file to TIFF or JPEG first.</source>
        <translation>Les fichiers RAW d’appareil photo ne peuvent pas être ouverts ; convertissez d’abord le fichier en TIFF ou en JPEG.</translation>
    </message>
    <message>
        <source>Only grey and RGB pictures can be opened, not CMYK or Lab ones.</source>
        <translation>Seules les images en niveaux de gris et RVB peuvent être ouvertes, pas les images CMJN ou Lab.</translation>
    </message>
    <message>
        <source>The picture is too large: at most 250 million pixels can be opened.</source>
        <translation>L’image est trop grande : 250 millions de pixels au plus peuvent être ouverts.</translation>
    </message>
    <message>
        <source>The picture is smaller than 32 pixels on a side.</source>
        <translation>L’image mesure moins de 32 pixels sur un côté.</translation>
    </message>
    <message>
        <source>There is not enough memory to open the picture.</source>
        <translation>La mémoire est insuffisante pour ouvrir l’image.</translation>
    </message>
    <message>
        <source>You have no permission to read this file.</source>
        <translation>Vous n’avez pas l’autorisation de lire ce fichier.</translation>
    </message>
    <message>
        <source>The file is too large to be read.</source>
        <translation>Le fichier est trop volumineux pour être lu.</translation>
    </message>
    <message>
        <source>The file name is too long.</source>
        <translation>Le nom du fichier est trop long.</translation>
    </message>
    <message>
        <source>Opening was cancelled.</source>
        <translation>L’ouverture a été annulée.</translation>
    </message>
    <message>
        <source>The folder does not exist.</source>
        <translation>Le dossier n’existe pas.</translation>
    </message>
    <message>
        <source>A folder of this name already exists.</source>
        <translation>Un dossier porte déjà ce nom.</translation>
    </message>
    <message>
        <source>Pictures can be saved only as JPEG or TIFF files.</source>
        <translation>Les images ne peuvent être enregistrées qu’au format JPEG ou TIFF.</translation>
    </message>
    <message>
        <source>The file would be larger than the disk or the file format allows.</source>
        <translation>Le fichier dépasserait la taille que permettent le disque ou le format de fichier.</translation>
    </message>
    <message>
        <source>There is not enough memory to save the picture.</source>
        <translation>La mémoire est insuffisante pour enregistrer l’image.</translation>
    </message>
    <message>
        <source>You have no permission to write in this folder.</source>
        <translation>Vous n’avez pas l’autorisation d’écrire dans ce dossier.</translation>
    </message>
    <message>
        <source>The disk is read-only.</source>
        <translation>Le disque est en lecture seule.</translation>
    </message>
    <message>
        <source>The file is write-protected.</source>
        <translation>Le fichier est protégé en écriture.</translation>
    </message>
    <message>
        <source>The disk is full.</source>
        <translation>Le disque est plein.</translation>
    </message>
    <message>
        <source>The save was cancelled.</source>
        <translation>L’enregistrement a été annulé.</translation>
    </message>
    <message>
        <source>The path leads round a loop of symbolic links.</source>
        <translation>Le chemin mène dans une boucle de liens symboliques.</translation>
    </message>
</context>
<context>
    <name>CFileSaveDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>JPEG Options</source>
        <translation>Options JPEG</translation>
    </message>
    <message>
        <source>TIFF Options</source>
        <translation>Options TIFF</translation>
    </message>
</context>
<context>
    <name>CFileSelectionForExifDialog</name>
    <message>
        <source>Load original image</source>
        <translation>Charger l&apos;image originale</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>File does not contain any valid EXIF data</source>
        <translation>Le fichier ne contient aucune donnée EXIF valide</translation>
    </message>
</context>
<context>
    <name>CHorizonCorrection</name>
    <message>
        <source>HORIZON</source>
        <translation>HORIZON</translation>
    </message>
</context>
<context>
    <name>CHorizonSettings</name>
    <message>
        <source>Horizontal level</source>
        <translation>Niveau horizontal</translation>
    </message>
    <message>
        <source>Vertical level</source>
        <translation>Niveau vertical</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>Rotation</translation>
    </message>
</context>
<context>
    <name>CHorizonToolPane</name>
    <message>
        <source>Line Color</source>
        <translation>Couleur des lignes</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
</context>
<context>
    <name>CKeystoningCorrection</name>
    <message>
        <source>PERSPECTIVE</source>
        <translation>PERSPECTIVE</translation>
    </message>
    <message>
        <source>Keystoning correction partially applied</source>
        <translation>Correction de perspective appliquée en partie</translation>
    </message>
    <message>
        <source>Keystoning correction scene point moved</source>
        <translation>Point de correction de perspective déplacé</translation>
    </message>
    <message>
        <source>Keystoning correction scene edge moved</source>
        <translation>Ligne de correction de perspective déplacée</translation>
    </message>
</context>
<context>
    <name>CKeystoningSettings</name>
    <message>
        <source>Force vertical parallel</source>
        <translation>Forcer les verticales parallèles</translation>
    </message>
    <message>
        <source>Force horizontal parallel</source>
        <translation>Forcer les horizontales parallèles</translation>
    </message>
    <message>
        <source>Force Rectangle</source>
        <translation>Forcer un rectangle</translation>
    </message>
    <message>
        <source>8 points</source>
        <translation>8 points</translation>
    </message>
    <message>
        <source>Full</source>
        <translation>Totale</translation>
    </message>
    <message>
        <source>Natural</source>
        <translation>Naturelle</translation>
    </message>
    <message>
        <source>Up / Down</source>
        <translation>Haut / Bas</translation>
    </message>
    <message>
        <source> Left / Right</source>
        <translation> Gauche / Droite</translation>
    </message>
    <message>
        <source>Horizontal / Vertical Ratio</source>
        <translation>Rapport horizontal / vertical</translation>
    </message>
    <message>
        <source>Intensity</source>
        <translation>Intensité</translation>
    </message>
    <message>
        <source>Move intensity to natural value</source>
        <translation>Régler l’intensité sur la valeur naturelle</translation>
    </message>
    <message>
        <source>Move intensity to full value</source>
        <translation>Régler l’intensité sur la valeur totale</translation>
    </message>
    <message>
        <source>Activate horizontal correction</source>
        <translation>Activer la correction horizontale</translation>
    </message>
    <message>
        <source>Apply horizontal correction</source>
        <translation>Appliquer la correction horizontale</translation>
    </message>
    <message>
        <source>Activate vertical correction</source>
        <translation>Activer la correction verticale</translation>
    </message>
    <message>
        <source>Apply vertical correction</source>
        <translation>Appliquer la correction verticale</translation>
    </message>
    <message>
        <source>Activate rectangle correction</source>
        <translation>Activer la correction en rectangle</translation>
    </message>
    <message>
        <source>Apply rectangle correction</source>
        <translation>Appliquer la correction en rectangle</translation>
    </message>
    <message>
        <source>Activate 8 points correction</source>
        <translation>Activer la correction à 8 points</translation>
    </message>
    <message>
        <source>Apply 8 points correction</source>
        <translation>Appliquer la correction à 8 points</translation>
    </message>
    <message>
        <source>Natural intensity applied</source>
        <translation>Intensité naturelle appliquée</translation>
    </message>
    <message>
        <source>Full intensity applied</source>
        <translation>Intensité totale appliquée</translation>
    </message>
    <message>
        <source>EXIF data present in this image did not allow for a fully automated correction. Please use the &quot;Ratio&quot; slider to more accurately recover the proportions of the image.</source>
        <translation>Les données EXIF de cette image ne permettent pas une correction entièrement automatique. Utilisez le curseur &quot;Rapport&quot; pour retrouver plus précisément les proportions de l’image.</translation>
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
        <translation>Couleur des lignes</translation>
    </message>
    <message>
        <source>Vertical lines</source>
        <translation>Lignes verticales</translation>
    </message>
    <message>
        <source>Horizontal lines</source>
        <translation>Lignes horizontales</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
</context>
<context>
    <name>CLanguageManager</name>
    <message>
        <source>language name</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>language number</source>
        <translation>1036</translation>
    </message>
</context>
<context>
    <name>CLoupeWidget</name>
    <message>
        <source>Loupe</source>
        <translation>Loupe</translation>
    </message>
    <message>
        <source>Display only tools actions</source>
        <translation>Afficher seulement les actions des outils</translation>
    </message>
</context>
<context>
    <name>CMainWindow</name>
    <message>
        <source>Image is rotated to Right</source>
        <translation>Image pivotée vers la droite</translation>
    </message>
    <message>
        <source>Image is opened</source>
        <translation>Image ouverte</translation>
    </message>
    <message>
        <source>Reset all corrections</source>
        <translation>Réinitialiser toutes les corrections</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Préférences</translation>
    </message>
    <message>
        <source>Press &quot;%1&quot; to toggle</source>
        <translation>Appuyez sur « %1 » pour basculer</translation>
    </message>
    <message>
        <source>Switch to Single view</source>
        <translation>Passer en vue unique</translation>
    </message>
    <message>
        <source>Switch to Double view</source>
        <translation>Passer en vue double</translation>
    </message>
    <message>
        <source>Standard Display</source>
        <translation>Affichage standard</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Plein écran</translation>
    </message>
    <message>
        <source>&amp;Show Controls</source>
        <translation>&amp;Afficher les commandes</translation>
    </message>
    <message>
        <source>&amp;Hide Controls</source>
        <translation>&amp;Masquer les commandes</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>Error opening custom css file</source>
        <translation>Erreur à l’ouverture du fichier de style</translation>
    </message>
    <message>
        <source>Sorry but this application doesn&apos;t support opening multiply images</source>
        <translation>Désolé, cette application ne peut pas ouvrir plusieurs images à la fois</translation>
    </message>
    <message>
        <source>File path is empty</source>
        <translation>Le chemin du fichier est vide</translation>
    </message>
    <message>
        <source>Sorry, file could not be opened</source>
        <translation>Désolé, le fichier n’a pas pu être ouvert</translation>
    </message>
    <message>
        <source>Perspective correction cannot be applied from current anchor points location</source>
        <translation>La correction de perspective ne peut pas être appliquée avec la position actuelle des points d’ancrage</translation>
    </message>
    <message>
        <source>Photoshop has been crashed. Would you like to save image to the file?</source>
        <translation>Photoshop s’est arrêté. Voulez-vous enregistrer l’image dans un fichier ?</translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation>Aucun nom de fichier n’a été donné.</translation>
    </message>
    <message>
        <source>The file could not be saved. Please check that you have the required permissions.</source>
        <translation>Le fichier n’a pas pu être enregistré. Vérifiez que vous disposez des droits nécessaires.</translation>
    </message>
    <message>
        <source>All your corrections will be reset. Do you want to rotate image?</source>
        <translation>Toutes vos corrections seront réinitialisées. Voulez-vous faire pivoter l’image ?</translation>
    </message>
    <message>
        <source>Image is rotated to Left</source>
        <translation>Image pivotée vers la gauche</translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation>Tout réinitialiser</translation>
    </message>
    <message>
        <source>Hide Grid overlay</source>
        <translation>Masquer la grille</translation>
    </message>
    <message>
        <source>Show Grid overlay</source>
        <translation>Afficher la grille</translation>
    </message>
    <message>
        <source>Recall snapshot</source>
        <translation>Rappeler l’instantané</translation>
    </message>
    <message>
        <source>https://www.example.com/&lt;locale&gt;/redirect/quillet/support</source>
        <translation>https://www.example.com/fr/redirect/quillet/support</translation>
    </message>
    <message>
        <source>https://www.example.com/&lt;locale&gt;/Navik_Orvane/getting_started/</source>
        <translation>https://www.example.com/fr/photo/navik_academy#filter-langue-fr</translation>
    </message>
    <message>
        <source>The corrected picture could not be prepared for Photoshop. Nothing was handed back; your changes are kept.</source>
        <translation>L’image corrigée n’a pas pu être préparée pour Photoshop. Rien n’a été renvoyé ; vos modifications sont conservées.</translation>
    </message>
    <message>
        <source>Navik Quillet cannot find the EXIF data it needs in this file. It is probably not the original image file.</source>
        <translation>Navik Quillet ne trouve pas dans ce fichier les données EXIF dont il a besoin. Ce n’est probablement pas le fichier image d’origine.</translation>
    </message>
    <message>
        <source>The file could not be saved.</source>
        <translation>Le fichier n’a pas pu être enregistré.</translation>
    </message>
</context>
<context>
    <name>COutsidePanelWidget</name>
    <message>
        <source>Reset module</source>
        <translation>Réinitialiser le module</translation>
    </message>
    <message>
        <source>Module enabled</source>
        <translation>Module activé</translation>
    </message>
    <message>
        <source>Module disabled</source>
        <translation>Module désactivé</translation>
    </message>
</context>
<context>
    <name>CPreferencesDlg</name>
    <message>
        <source>The selected language will be taken into account after the next application start.</source>
        <translation>La langue choisie sera prise en compte au prochain démarrage de l’application.</translation>
    </message>
</context>
<context>
    <name>CProgressBar</name>
    <message>
        <source>B</source>
        <translation>o</translation>
    </message>
    <message>
        <source>kB</source>
        <translation>Ko</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>Mo</translation>
    </message>
</context>
<context>
    <name>CProgressDrawer</name>
    <message>
        <source>Processing</source>
        <translation>Traitement</translation>
    </message>
</context>
<context>
    <name>CRecentFiles</name>
    <message>
        <source>The selected image could not be found. Please check that the file was not moved and that the disk is connected.</source>
        <translation>L’image sélectionnée est introuvable. Vérifiez que le fichier n’a pas été déplacé et que le disque est connecté.</translation>
    </message>
</context>
<context>
    <name>CRecentFilesDelegate</name>
    <message>
        <source>Open other file</source>
        <translation>Ouvrir un autre fichier</translation>
    </message>
</context>
<context>
    <name>CStartTextDrawer</name>
    <message>
        <source>Drag &amp; drop picture here to start editing</source>
        <translation>Glissez-déposez une photo ici pour commencer</translation>
    </message>
</context>
<context>
    <name>CZoomComboBox</name>
    <message>
        <source>Fit to view</source>
        <translation>Ajuster à la vue</translation>
    </message>
</context>
<context>
    <name>CZoomController</name>
    <message>
        <source>Zoom Out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Zoom avant</translation>
    </message>
</context>
<context>
    <name>CZoomSlider</name>
    <message>
        <source>Change Zoom</source>
        <translation>Modifier le zoom</translation>
    </message>
</context>
<context>
    <name>CheckForUpdateDialog</name>
    <message>
        <source>New update available</source>
        <translation>Nouvelle mise à jour disponible</translation>
    </message>
    <message>
        <source>A NEW UPDATE IS AVAILABLE</source>
        <translation>UNE NOUVELLE MISE À JOUR EST DISPONIBLE</translation>
    </message>
    <message>
        <source>Remind me later</source>
        <translation>Me le rappeler plus tard</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Mettre à jour</translation>
    </message>
</context>
<context>
    <name>FileSaveDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialogue</translation>
    </message>
    <message>
        <source>JPEG quality:</source>
        <translation>Qualité JPEG :</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>TIFF quality:</source>
        <translation>Qualité TIFF :</translation>
    </message>
    <message>
        <source>converted and compressed</source>
        <translation>converti et compressé</translation>
    </message>
    <message>
        <source>converted</source>
        <translation>converti</translation>
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
        <translation>Ouvrir l&apos;image originale</translation>
    </message>
    <message>
        <source>NAVIK QUILLET NEEDS TO OPEN THE ORIGINAL IMAGE FILE</source>
        <translation>NAVIK QUILLET DOIT OUVRIR LE FICHIER DE L&apos;IMAGE ORIGINALE</translation>
    </message>
    <message>
        <source>Why do I need to do that?</source>
        <translation>Pourquoi dois-je le faire ?</translation>
    </message>
    <message>
        <source>In order to correct optical distortion, Navik Quillet requires very precise information about the shooting parameters. This information is available in the EXIF data of the file taken by your camera, but it is not present in the current image - possibly because of modification to the photo in another software.

The file you will provide here will not be modified, Navik Quillet will only retrieve this data.</source>
        <translation>Pour corriger la distorsion optique, Navik Quillet a besoin d&apos;informations très précises sur les paramètres de prise de vue. Ces informations se trouvent dans les données EXIF du fichier créé par votre appareil photo, mais elles sont absentes de l&apos;image actuelle, peut-être parce que la photo a été modifiée dans un autre logiciel.

Le fichier que vous indiquerez ici ne sera pas modifié : Navik Quillet se contentera d&apos;en lire ces données.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Application name</source>
        <translation>Nom de l’application</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>F&amp;ile</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Édition</translation>
    </message>
    <message>
        <source>&amp;Display</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation>Ai&amp;de</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Barre d’outils</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>Correction</translation>
    </message>
    <message>
        <source>Visualization</source>
        <translation>Visualisation</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>Unique</translation>
    </message>
    <message>
        <source>Display corrected and initial image one behind the other</source>
        <translation>Afficher l’image corrigée et l’image initiale l’une derrière l’autre</translation>
    </message>
    <message>
        <source>Double</source>
        <translation>Double</translation>
    </message>
    <message>
        <source>Display corrected and initial image side by side</source>
        <translation>Afficher l’image corrigée et l’image initiale côte à côte</translation>
    </message>
    <message>
        <source>Zoom Default</source>
        <translation>Zoom par défaut</translation>
    </message>
    <message>
        <source>Zoom to 100%</source>
        <translation>Zoom à 100 %</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>Ajuster</translation>
    </message>
    <message>
        <source>Fit to screen</source>
        <translation>Ajuster à l’écran</translation>
    </message>
    <message>
        <source>Spliter</source>
        <translation>Séparateur</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Ouvrir...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Enregistrer &amp;sous...</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>&amp;Préférences</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>&amp;Plein écran</translation>
    </message>
    <message>
        <source>&amp;Hide Controls</source>
        <translation>&amp;Masquer les commandes</translation>
    </message>
    <message>
        <source>Hide controls</source>
        <translation>Masquer les commandes</translation>
    </message>
    <message>
        <source>H&amp;ide Loupe</source>
        <translation>Masquer la &amp;loupe</translation>
    </message>
    <message>
        <source>&amp;Online user guide</source>
        <translation>&amp;Guide d’utilisation en ligne</translation>
    </message>
    <message>
        <source>&amp;Getting started...</source>
        <translation>&amp;Premiers pas...</translation>
    </message>
    <message>
        <source>&amp;Visit web site</source>
        <translation>&amp;Visiter le site web</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Make Crash</source>
        <translation>Provoquer un plantage</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Recadrer</translation>
    </message>
    <message>
        <source>Fast Preview</source>
        <translation>Aperçu rapide</translation>
    </message>
    <message>
        <source>Pointer tool</source>
        <translation>Outil pointeur</translation>
    </message>
    <message>
        <source>Hand Tool</source>
        <translation>Outil main</translation>
    </message>
    <message>
        <source>Hand tool</source>
        <translation>Outil main</translation>
    </message>
    <message>
        <source>Show Grid overlay</source>
        <translation>Afficher la grille</translation>
    </message>
    <message>
        <source>Toggle Grid overlay</source>
        <translation>Afficher ou masquer la grille</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Enregistrer sous</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rétablir</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>Recent images</source>
        <translation>Images récentes</translation>
    </message>
    <message>
        <source>Rotate Left</source>
        <translation>Pivoter à gauche</translation>
    </message>
    <message>
        <source>Rotate Right</source>
        <translation>Pivoter à droite</translation>
    </message>
    <message>
        <source>Take Snapshot</source>
        <translation>Prendre un instantané</translation>
    </message>
    <message>
        <source>Restore Snapshot</source>
        <translation>Restaurer l’instantané</translation>
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
        <translation>Non</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Don&apos;t save</source>
        <translation>Ne pas enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>Faire pivoter</translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CScripting</name>
    <message>
        <source>uncaught exception at line</source>
        <translation>exception non interceptée à la ligne</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Image files</source>
        <translation>Fichiers image</translation>
    </message>
    <message>
        <source>Preset files</source>
        <translation>Fichiers de préréglages</translation>
    </message>
    <message>
        <source>_NavikQlt</source>
        <translation>_NavikQlt</translation>
    </message>
    <message>
        <source>Sorry, but this file type is not supported. Please, try again.</source>
        <translation>Désolé, ce type de fichier n&apos;est pas pris en charge. Veuillez réessayer.</translation>
    </message>
    <message>
        <source>Sorry, but type of these files are not supported. Please, try again.</source>
        <translation>Désolé, le type de ces fichiers n&apos;est pas pris en charge. Veuillez réessayer.</translation>
    </message>
    <message>
        <source>Can&apos;t create file with name %1. Try to use another name.</source>
        <translation>Impossible de créer un fichier nommé %1. Essayez un autre nom.</translation>
    </message>
    <message>
        <source>As shot</source>
        <translation>Tel que pris</translation>
    </message>
    <message>
        <source>Default B&amp;W</source>
        <translation>N&amp;B par défaut</translation>
    </message>
    <message>
        <source>No grain</source>
        <translation>Sans grain</translation>
    </message>
    <message>
        <source>Current film rendering</source>
        <translation>Rendu film actuel</translation>
    </message>
    <message>
        <source>JPEG Image files</source>
        <translation>Fichiers image JPEG</translation>
    </message>
    <message>
        <source>TIFF Image files</source>
        <translation>Fichiers image TIFF</translation>
    </message>
    <message>
        <source>RAW Image files</source>
        <translation>Fichiers image RAW</translation>
    </message>
    <message>
        <source>The following file already exists:%1Do you want to overwrite it?</source>
        <translation>Le fichier suivant existe déjà :%1Voulez-vous le remplacer ?</translation>
    </message>
    <message>
        <source>Export all presets</source>
        <translation>Exporter tous les préréglages</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Mac free space drive message</source>
        <translation>Navik Quillet ne peut pas démarrer, car l&apos;espace libre sur votre disque système est insuffisant.</translation>
    </message>
    <message>
        <source>Out of memory. Program will be closed.</source>
        <translation>Navik Quillet doit se fermer, car la mémoire disponible est insuffisante.
Veuillez fermer d&apos;autres programmes et relancer Navik Quillet.</translation>
    </message>
    <message>
        <source>%1 has run out of memory. The application may now become unstable. Please close %2 and Photoshop, quit all other programs running, and try again.</source>
        <translation>%1 n&apos;a plus assez de mémoire. L&apos;application risque de devenir instable. Veuillez fermer %2 et Photoshop, quitter tous les autres programmes en cours d&apos;exécution, puis réessayer.</translation>
    </message>
    <message>
        <source>Unhandled exception. Program will be closed.</source>
        <translation>Navik Quillet doit se fermer en raison d&apos;une exception non gérée.</translation>
    </message>
    <message>
        <source>px</source>
        <translation>px</translation>
    </message>
    <message>
        <source>in</source>
        <translation>po</translation>
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
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>Copyright © Navik Labs. All rights reserved. %1 is protected by copyright law and international treaties. Navik Labs and %1 are trademarks of Navik Labs; all other names are trademarks of their respective owners.</source>
        <translation>Copyright © Navik Labs. Tous droits réservés. %1 est protégé par la législation sur le droit d&apos;auteur et par les traités internationaux. Navik Labs et %1 sont des marques de Navik Labs ; tous les autres noms sont des marques de leurs propriétaires respectifs.</translation>
    </message>
    <message>
        <source>Parts of this product are covered by patents. The list of patents is at &lt;a href=&quot;https://www.example.com/intl/redirect/quill/patents&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#88acd5;&quot;&gt;www.example.com&lt;/span&gt;&lt;/a&gt;</source>
        <translation>Certaines parties de ce produit sont protégées par des brevets. La liste des brevets se trouve sur &lt;a href=&quot;https://www.example.com/intl/redirect/quill/patents&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#88acd5;&quot;&gt;www.example.com&lt;/span&gt;&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>baseUIPanelWidget</name>
    <message>
        <source>Reset correction</source>
        <translation>Réinitialiser la correction</translation>
    </message>
</context>
<context>
    <name>preferences</name>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>preferencesDlg</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Langue :</translation>
    </message>
    <message>
        <source>Background color</source>
        <translation>Couleur du fond</translation>
    </message>
    <message>
        <source>Overlay grid size</source>
        <translation>Taille de la grille</translation>
    </message>
    <message>
        <source>pixels</source>
        <translation>pixels</translation>
    </message>
    <message>
        <source>Display image size / Unit</source>
        <translation>Afficher la taille de l’image / Unité</translation>
    </message>
    <message>
        <source>&lt;p&gt;I agree to participate anonymously in the &lt;a href=&quot;https://www.example.com/intl/redirect/quillet/improvement_program&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#d2d2d2;&quot;&gt;Product Improvement Program&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;p&gt;J’accepte de participer anonymement au &lt;a href=&quot;https://www.example.com/intl/redirect/quillet/improvement_program&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#d2d2d2;&quot;&gt;Programme d’amélioration du produit&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Send crash reports</source>
        <translation>Envoyer les rapports de plantage</translation>
    </message>
    <message>
        <source>About Navik Product</source>
        <translation>À propos de Navik Product</translation>
    </message>
</context>
</TS>
