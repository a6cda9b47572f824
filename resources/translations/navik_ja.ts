<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>AspectRatioEdit</name>
    <message>
        <source>Enter ratio (W/H)</source>
        <translation>比率を入力 (幅/高さ)</translation>
    </message>
</context>
<context>
    <name>AspectRatioModel</name>
    <message>
        <source>Unconstained (default)</source>
        <translation>制限なし (デフォルト)</translation>
    </message>
    <message>
        <source>Preserve aspect ratio</source>
        <translation>縦横比を保持</translation>
    </message>
    <message>
        <source>Add Custom...</source>
        <translation>カスタムを追加...</translation>
    </message>
</context>
<context>
    <name>CApplication</name>
    <message>
        <source>Lightroom Batch processing.</source>
        <translation>Lightroom バッチ処理</translation>
    </message>
    <message>
        <source>Lightroom Batch processing is not supported for this application.</source>
        <translation>このアプリケーションは Lightroom のバッチ処理に対応していません。</translation>
    </message>
</context>
<context>
    <name>CBaseApplication</name>
    <message>
        <source>Lightroom Batch processing.</source>
        <translation>Lightroom バッチ処理</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Initializing CE</source>
        <translation>補正エンジンの初期化</translation>
    </message>
</context>
<context>
    <name>CBaseCorrectionToolPane</name>
    <message>
        <source>Apply and close tool</source>
        <translation>適用してツールを閉じる</translation>
    </message>
    <message>
        <source>Reset tool</source>
        <translation>ツールをリセット</translation>
    </message>
</context>
<context>
    <name>CBaseGraphicsView</name>
    <message>
        <source>Before</source>
        <translation>補正前</translation>
    </message>
    <message>
        <source>After</source>
        <translation>補正後</translation>
    </message>
</context>
<context>
    <name>CBaseMainWindow</name>
    <message>
        <source>Open Image</source>
        <translation>画像を開く</translation>
    </message>
    <message>
        <source>Save File As</source>
        <translation>名前を付けて保存</translation>
    </message>
    <message>
        <source>The picture has been modified. Do you want to save changes?</source>
        <translation>画像が変更されています。変更内容を保存しますか?</translation>
    </message>
    <message>
        <source>Photoshop has been crashed. Would you like to save image to the file?</source>
        <translation>Photoshop がクラッシュしました。画像をファイルに保存しますか?</translation>
    </message>
    <message>
        <source>Sorry, file could not be opened</source>
        <translation>ファイルを開けませんでした</translation>
    </message>
</context>
<context>
    <name>CCheckForUpdateManager</name>
    <message>
        <source>Check for update error: %1</source>
        <translation>アップデートの確認中にエラーが発生しました: %1</translation>
    </message>
    <message>
        <source>You are using the latest version of %1.</source>
        <translation>%1 の最新バージョンをお使いです。</translation>
    </message>
</context>
<context>
    <name>CCropCorrection</name>
    <message>
        <source>Crop</source>
        <translation>切り抜き</translation>
    </message>
</context>
<context>
    <name>CCropPoint</name>
    <message>
        <source>Crop rect corner point moved</source>
        <translation>切り抜き枠のハンドルを移動</translation>
    </message>
</context>
<context>
    <name>CCropRect</name>
    <message>
        <source>Crop rect moved</source>
        <translation>切り抜き枠を移動</translation>
    </message>
    <message>
        <source>Crop rect moved be keyboard</source>
        <translation>切り抜き枠をキーボードで移動</translation>
    </message>
</context>
<context>
    <name>CCropSettings</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Crop (C)</source>
        <translation>切り抜き (C)</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>補正</translation>
    </message>
    <message>
        <source>Aspect Ratio</source>
        <translation>縦横比</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>手動</translation>
    </message>
    <message>
        <source>Constrain to image</source>
        <translation>画像内に制限</translation>
    </message>
    <message>
        <source>Crop correction is activated</source>
        <translation>切り抜きを有効化</translation>
    </message>
    <message>
        <source>Crop correction is applyed</source>
        <translation>切り抜きを適用</translation>
    </message>
    <message>
        <source>Aspect ration changed</source>
        <translation>縦横比を変更</translation>
    </message>
    <message>
        <source>Correction type changed</source>
        <translation>補正の種類を変更</translation>
    </message>
    <message>
        <source>Crop constrain to image - on</source>
        <translation>切り抜きを画像内に制限 - オン</translation>
    </message>
    <message>
        <source>Crop constrain to image - off</source>
        <translation>切り抜きを画像内に制限 - オフ</translation>
    </message>
</context>
<context>
    <name>CCropToolPane</name>
    <message>
        <source>Form</source>
        <translation>フォーム</translation>
    </message>
    <message>
        <source>Show grid</source>
        <translation>グリッドを表示</translation>
    </message>
    <message>
        <source>Mask opacity</source>
        <translation>マスクの不透明度</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>適用</translation>
    </message>
</context>
<context>
    <name>CDockTitle</name>
    <message>
        <source>Unpin palette</source>
        <translation>パレットの固定を解除</translation>
    </message>
</context>
<context>
    <name>CDockWidget</name>
    <message>
        <source>Pin palette</source>
        <translation>パレットを固定</translation>
    </message>
    <message>
        <source>Unpin palette</source>
        <translation>パレットの固定を解除</translation>
    </message>
</context>
<context>
    <name>CFileFailureTexts</name>
    <message>
        <source>The file does not exist.</source>
        <translation>ファイルが存在しません。</translation>
    </message>
    <message>
        <source>This is a folder, a pipe or a device, not a picture file.</source>
        <translation>これはフォルダー、パイプまたはデバイスで、画像ファイルではありません。</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>ファイルが空です。</translation>
    </message>
    <message>
        <source>The picture in the file is damaged or incomplete.</source>
        <translation>ファイル内の画像が破損しているか、不完全です。</translation>
    </message>
    <message>
        <source>The file is neither a JPEG nor a TIFF picture.</source>
        <translation>このファイルは JPEG 画像でも TIFF 画像でもありません。</translation>
    </message>
    <message>
        <source>Camera raw files cannot be opened; please convert the file to TIFF or JPEG first.</source>
        <translation>カメラの RAW ファイルは開けません。先にファイルを TIFF または JPEG に変換してください。</translation>
    </message>
    <message>
        <source>Only grey and RGB pictures can be opened, not CMYK or Lab ones.</source>
        <translation>開けるのはグレースケールと RGB の画像だけで、CMYK や Lab の画像は開けません。</translation>
    </message>
    <message>
        <source>The picture is too large: at most 250 million pixels can be opened.</source>
        <translation>画像が大きすぎます。開けるのは 2 億 5000 万ピクセルまでです。</translation>
    </message>
    <message>
        <source>The picture is smaller than 32 pixels on a side.</source>
        <translation>画像の一辺が 32 ピクセル未満です。</translation>
    </message>
    <message>
        <source>There is not enough memory to open the picture.</source>
        <translation>画像を開くためのメモリーが足りません。</translation>
    </message>
    <message>
        <source>You have no permission to read this file.</source>
        <translation>このファイルを読み取る権限がありません。</translation>
    </message>
    <message>
        <source>The file is too large to be read.</source>
        <translation>ファイルが大きすぎて読み取れません。</translation>
    </message>
    <message>
        <source>The file name is too long.</source>
        <translation>ファイル名が長すぎます。</translation>
    </message>
    <message>
        <source>Opening was cancelled.</source>
        <translation>開く操作はキャンセルされました。</translation>
    </message>
    <message>
        <source>The folder does not exist.</source>
        <translation>フォルダーが存在しません。</translation>
    </message>
    <message>
        <source>A folder of this name already exists.</source>
        <translation>同じ名前のフォルダーがすでにあります。</translation>
    </message>
    <message>
        <source>Pictures can be saved only as JPEG or TIFF files.</source>
        <translation>画像は JPEG または TIFF ファイルとしてのみ保存できます。</translation>
    </message>
    <message>
        <source>The file would be larger than the disk or the file format allows.</source>
        <translation>ファイルが、ディスクまたはファイル形式で扱えるサイズを超えてしまいます。</translation>
    </message>
    <message>
        <source>There is not enough memory to save the picture.</source>
        <translation>画像を保存するためのメモリーが足りません。</translation>
    </message>
    <message>
        <source>You have no permission to write in this folder.</source>
        <translation>このフォルダーに書き込む権限がありません。</translation>
    </message>
    <message>
        <source>The disk is read-only.</source>
        <translation>ディスクは読み取り専用です。</translation>
    </message>
    <message>
        <source>The file is write-protected.</source>
        <translation>ファイルは書き込み禁止になっています。</translation>
    </message>
    <message>
        <source>The disk is full.</source>
        <translation>ディスクがいっぱいです。</translation>
    </message>
    <message>
        <source>The save was cancelled.</source>
        <translation>保存はキャンセルされました。</translation>
    </message>
    <message>
        <source>The path leads round a loop of symbolic links.</source>
        <translation>パスがシンボリックリンクのループになっています。</translation>
    </message>
</context>
<context>
    <name>CFileSaveDialog</name>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>JPEG Options</source>
        <translation>JPEG オプション</translation>
    </message>
    <message>
        <source>TIFF Options</source>
        <translation>TIFF オプション</translation>
    </message>
</context>
<context>
    <name>CFileSelectionForExifDialog</name>
    <message>
        <source>Load original image</source>
        <translation>元の画像を読み込む</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>File does not contain any valid EXIF data</source>
        <translation>ファイルに有効な EXIF データがありません</translation>
    </message>
</context>
<context>
    <name>CHorizonCorrection</name>
    <message>
        <source>HORIZON</source>
        <translation>水平</translation>
    </message>
</context>
<context>
    <name>CHorizonSettings</name>
    <message>
        <source>Horizontal level</source>
        <translation>水平線で補正</translation>
    </message>
    <message>
        <source>Vertical level</source>
        <translation>垂直線で補正</translation>
    </message>
    <message>
        <source>Rotation</source>
        <translation>回転</translation>
    </message>
</context>
<context>
    <name>CHorizonToolPane</name>
    <message>
        <source>Line Color</source>
        <translation>線の色</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>プレビュー</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>適用</translation>
    </message>
</context>
<context>
    <name>CKeystoningCorrection</name>
    <message>
        <source>PERSPECTIVE</source>
        <translation>遠近補正</translation>
    </message>
    <message>
        <source>Keystoning correction partially applied</source>
        <translation>遠近補正を部分的に適用</translation>
    </message>
    <message>
        <source>Keystoning correction scene point moved</source>
        <translation>遠近補正のポイントを移動</translation>
    </message>
    <message>
        <source>Keystoning correction scene edge moved</source>
        <translation>遠近補正のラインを移動</translation>
    </message>
</context>
<context>
    <name>CKeystoningSettings</name>
    <message>
        <source>Force vertical parallel</source>
        <translation>垂直線を平行にする</translation>
    </message>
    <message>
        <source>Force horizontal parallel</source>
        <translation>水平線を平行にする</translation>
    </message>
    <message>
        <source>Force Rectangle</source>
        <translation>長方形にする</translation>
    </message>
    <message>
        <source>8 points</source>
        <translation>8 ポイント</translation>
    </message>
    <message>
        <source>Full</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Natural</source>
        <translation>自然</translation>
    </message>
    <message>
        <source>Up / Down</source>
        <translation>上 / 下</translation>
    </message>
    <message>
        <source> Left / Right</source>
        <translation> 左 / 右</translation>
    </message>
    <message>
        <source>Horizontal / Vertical Ratio</source>
        <translation>水平 / 垂直の比率</translation>
    </message>
    <message>
        <source>Intensity</source>
        <translation>強さ</translation>
    </message>
    <message>
        <source>Move intensity to natural value</source>
        <translation>強さを自然な値にする</translation>
    </message>
    <message>
        <source>Move intensity to full value</source>
        <translation>強さを最大にする</translation>
    </message>
    <message>
        <source>Activate horizontal correction</source>
        <translation>水平補正を開始</translation>
    </message>
    <message>
        <source>Apply horizontal correction</source>
        <translation>水平補正を適用</translation>
    </message>
    <message>
        <source>Activate vertical correction</source>
        <translation>垂直補正を開始</translation>
    </message>
    <message>
        <source>Apply vertical correction</source>
        <translation>垂直補正を適用</translation>
    </message>
    <message>
        <source>Activate rectangle correction</source>
        <translation>長方形補正を開始</translation>
    </message>
    <message>
        <source>Apply rectangle correction</source>
        <translation>長方形補正を適用</translation>
    </message>
    <message>
        <source>Activate 8 points correction</source>
        <translation>8 ポイント補正を開始</translation>
    </message>
    <message>
        <source>Apply 8 points correction</source>
        <translation>8 ポイント補正を適用</translation>
    </message>
    <message>
        <source>Natural intensity applied</source>
        <translation>自然な強さを適用</translation>
    </message>
    <message>
        <source>Full intensity applied</source>
        <translation>最大の強さを適用</translation>
    </message>
    <message>
        <source>EXIF data present in this image did not allow for a fully automated correction. Please use the &quot;Ratio&quot; slider to more accurately recover the proportions of the image.</source>
        <translation>この画像の EXIF データでは完全な自動補正ができませんでした。&quot;比率&quot; スライダーで画像の縦横比をより正確に復元してください。</translation>
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
        <translation>ラインの色</translation>
    </message>
    <message>
        <source>Vertical lines</source>
        <translation>垂直線</translation>
    </message>
    <message>
        <source>Horizontal lines</source>
        <translation>水平線</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>プレビュー</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>適用</translation>
    </message>
</context>
<context>
    <name>CLanguageManager</name>
    <message>
        <source>language name</source>
        <translation>日本語</translation>
    </message>
    <message>
        <source>language number</source>
        <translation>1041</translation>
    </message>
</context>
<context>
    <name>CLoupeWidget</name>
    <message>
        <source>Loupe</source>
        <translation>ルーペ</translation>
    </message>
    <message>
        <source>Display only tools actions</source>
        <translation>ツール操作のみ表示</translation>
    </message>
</context>
<context>
    <name>CMainWindow</name>
    <message>
        <source>Image is rotated to Right</source>
        <translation>画像を右に回転</translation>
    </message>
    <message>
        <source>Image is opened</source>
        <translation>画像を開きました</translation>
    </message>
    <message>
        <source>Reset all corrections</source>
        <translation>すべての補正をリセット</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>バージョン情報(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>環境設定(&amp;P)</translation>
    </message>
    <message>
        <source>Press &quot;%1&quot; to toggle</source>
        <translation>「%1」で切り替え</translation>
    </message>
    <message>
        <source>Switch to Single view</source>
        <translation>シングル表示に切り替え</translation>
    </message>
    <message>
        <source>Switch to Double view</source>
        <translation>ダブル表示に切り替え</translation>
    </message>
    <message>
        <source>Standard Display</source>
        <translation>標準表示</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>フルスクリーン</translation>
    </message>
    <message>
        <source>&amp;Show Controls</source>
        <translation>コントロールを表示(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Hide Controls</source>
        <translation>コントロールを隠す(&amp;H)</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Error opening custom css file</source>
        <translation>スタイルファイルを開けません</translation>
    </message>
    <message>
        <source>Sorry but this application doesn&apos;t support opening multiply images</source>
        <translation>このアプリケーションでは複数の画像を同時に開けません</translation>
    </message>
    <message>
        <source>File path is empty</source>
        <translation>ファイルのパスが空です</translation>
    </message>
    <message>
        <source>Sorry, file could not be opened</source>
        <translation>ファイルを開けませんでした</translation>
    </message>
    <message>
        <source>Perspective correction cannot be applied from current anchor points location</source>
        <translation>現在のアンカーポイントの位置では遠近補正を適用できません</translation>
    </message>
    <message>
        <source>Photoshop has been crashed. Would you like to save image to the file?</source>
        <translation>Photoshop がクラッシュしました。画像をファイルに保存しますか?</translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation>ファイル名が指定されていません。</translation>
    </message>
    <message>
        <source>The file could not be saved. Please check that you have the required permissions.</source>
        <translation>ファイルを保存できませんでした。必要な権限があるか確認してください。</translation>
    </message>
    <message>
        <source>All your corrections will be reset. Do you want to rotate image?</source>
        <translation>すべての補正がリセットされます。画像を回転しますか?</translation>
    </message>
    <message>
        <source>Image is rotated to Left</source>
        <translation>画像を左に回転</translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation>すべてリセット</translation>
    </message>
    <message>
        <source>Hide Grid overlay</source>
        <translation>グリッドを隠す</translation>
    </message>
    <message>
        <source>Show Grid overlay</source>
        <translation>グリッドを表示</translation>
    </message>
    <message>
        <source>Recall snapshot</source>
        <translation>スナップショットを復元</translation>
    </message>
    <message>
        <source>https://www.example.com/&lt;locale&gt;/redirect/quillet/support</source>
        <translation>https://www.example.com/jp/redirect/quillet/support</translation>
    </message>
    <message>
        <source>https://www.example.com/&lt;locale&gt;/Navik_Orvane/getting_started/</source>
        <translation>https://www.example.com/jp/photo/navik_academy#filter-langue-jp</translation>
    </message>
    <message>
        <source>The corrected picture could not be prepared for Photoshop. Nothing was handed back; your changes are kept.</source>
        <translation>補正した画像を Photoshop 用に準備できませんでした。何も戻されていません。変更内容は保持されています。</translation>
    </message>
    <message>
        <source>Navik Quillet cannot find the EXIF data it needs in this file. It is probably not the original image file.</source>
        <translation>Navik Quillet は、このファイルに必要な EXIF データを見つけられません。元の画像ファイルではない可能性があります。</translation>
    </message>
    <message>
        <source>The file could not be saved.</source>
        <translation>ファイルを保存できませんでした。</translation>
    </message>
</context>
<context>
    <name>COutsidePanelWidget</name>
    <message>
        <source>Reset module</source>
        <translation>モジュールをリセット</translation>
    </message>
    <message>
        <source>Module enabled</source>
        <translation>モジュールを有効化</translation>
    </message>
    <message>
        <source>Module disabled</source>
        <translation>モジュールを無効化</translation>
    </message>
</context>
<context>
    <name>CPreferencesDlg</name>
    <message>
        <source>The selected language will be taken into account after the next application start.</source>
        <translation>選択した言語は次回アプリケーションを起動したときに反映されます。</translation>
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
        <translation>KB</translation>
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
        <translation>処理中</translation>
    </message>
</context>
<context>
    <name>CRecentFiles</name>
    <message>
        <source>The selected image could not be found. Please check that the file was not moved and that the disk is connected.</source>
        <translation>選択した画像が見つかりません。ファイルが移動されていないこと、およびディスクが接続されていることを確認してください。</translation>
    </message>
</context>
<context>
    <name>CRecentFilesDelegate</name>
    <message>
        <source>Open other file</source>
        <translation>他のファイルを開く</translation>
    </message>
</context>
<context>
    <name>CStartTextDrawer</name>
    <message>
        <source>Drag &amp; drop picture here to start editing</source>
        <translation>ここに写真をドラッグ＆ドロップして編集を開始</translation>
    </message>
</context>
<context>
    <name>CZoomComboBox</name>
    <message>
        <source>Fit to view</source>
        <translation>ビューに合わせる</translation>
    </message>
</context>
<context>
    <name>CZoomController</name>
    <message>
        <source>Zoom Out</source>
        <translation>ズームアウト</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>ズームイン</translation>
    </message>
</context>
<context>
    <name>CZoomSlider</name>
    <message>
        <source>Change Zoom</source>
        <translation>ズームを変更</translation>
    </message>
</context>
<context>
    <name>CheckForUpdateDialog</name>
    <message>
        <source>New update available</source>
        <translation>アップデートのお知らせ</translation>
    </message>
    <message>
        <source>A NEW UPDATE IS AVAILABLE</source>
        <translation>新しいアップデートがあります</translation>
    </message>
    <message>
        <source>Remind me later</source>
        <translation>後で通知する</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>アップデート</translation>
    </message>
</context>
<context>
    <name>FileSaveDialog</name>
    <message>
        <source>Dialog</source>
        <translation>ダイアログ</translation>
    </message>
    <message>
        <source>JPEG quality:</source>
        <translation>JPEG 画質:</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>TIFF quality:</source>
        <translation>TIFF 画質:</translation>
    </message>
    <message>
        <source>converted and compressed</source>
        <translation>変換して圧縮</translation>
    </message>
    <message>
        <source>converted</source>
        <translation>変換</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>標準</translation>
    </message>
</context>
<context>
    <name>FileSelectionForExifDialog</name>
    <message>
        <source>Open original image</source>
        <translation>元の画像を開く</translation>
    </message>
    <message>
        <source>NAVIK QUILLET NEEDS TO OPEN THE ORIGINAL IMAGE FILE</source>
        <translation>NAVIK QUILLET は元の画像ファイルを開く必要があります</translation>
    </message>
    <message>
        <source>Why do I need to do that?</source>
        <translation>なぜ必要なのですか?</translation>
    </message>
    <message>
        <source>In order to correct optical distortion, Navik Quillet requires very precise information about the shooting parameters. This information is available in the EXIF data of the file taken by your camera, but it is not present in the current image - possibly because of modification to the photo in another software.

The file you will provide here will not be modified, Navik Quillet will only retrieve this data.</source>
        <translation>光学的な歪みを補正するには、Navik Quillet は撮影パラメーターについての非常に正確な情報を必要とします。この情報はカメラで撮影したファイルの EXIF データにありますが、現在の画像にはありません。別のソフトウェアで写真を編集したためと考えられます。

ここで指定するファイルは変更されません。Navik Quillet はこのデータを読み取るだけです。</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Application name</source>
        <translation>アプリケーション名</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>F&amp;ile</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Display</source>
        <translation>表示(&amp;D)</translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>ツールバー</translation>
    </message>
    <message>
        <source>Correction</source>
        <translation>補正</translation>
    </message>
    <message>
        <source>Visualization</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>バージョン情報(&amp;A)</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>シングル</translation>
    </message>
    <message>
        <source>Display corrected and initial image one behind the other</source>
        <translation>補正後と補正前の画像を重ねて表示</translation>
    </message>
    <message>
        <source>Double</source>
        <translation>ダブル</translation>
    </message>
    <message>
        <source>Display corrected and initial image side by side</source>
        <translation>補正後と補正前の画像を並べて表示</translation>
    </message>
    <message>
        <source>Zoom Default</source>
        <translation>標準ズーム</translation>
    </message>
    <message>
        <source>Zoom to 100%</source>
        <translation>100% に拡大</translation>
    </message>
    <message>
        <source>Fit</source>
        <translation>全体表示</translation>
    </message>
    <message>
        <source>Fit to screen</source>
        <translation>画面に合わせる</translation>
    </message>
    <message>
        <source>Spliter</source>
        <translation>区切り</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>名前を付けて保存(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Preferences</source>
        <translation>環境設定(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>フルスクリーン(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Hide Controls</source>
        <translation>コントロールを隠す(&amp;H)</translation>
    </message>
    <message>
        <source>Hide controls</source>
        <translation>コントロールを隠す</translation>
    </message>
    <message>
        <source>H&amp;ide Loupe</source>
        <translation>ルーペを隠す(&amp;I)</translation>
    </message>
    <message>
        <source>&amp;Online user guide</source>
        <translation>オンラインユーザーガイド(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Getting started...</source>
        <translation>はじめに(&amp;G)...</translation>
    </message>
    <message>
        <source>&amp;Visit web site</source>
        <translation>Web サイトを見る(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Make Crash</source>
        <translation>クラッシュを起こす</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>切り抜き</translation>
    </message>
    <message>
        <source>Fast Preview</source>
        <translation>高速プレビュー</translation>
    </message>
    <message>
        <source>Pointer tool</source>
        <translation>ポインタツール</translation>
    </message>
    <message>
        <source>Hand Tool</source>
        <translation>手のひらツール</translation>
    </message>
    <message>
        <source>Hand tool</source>
        <translation>手のひらツール</translation>
    </message>
    <message>
        <source>Show Grid overlay</source>
        <translation>グリッドを表示</translation>
    </message>
    <message>
        <source>Toggle Grid overlay</source>
        <translation>グリッドの表示を切り替え</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>環境設定</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>名前を付けて保存</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>取り消し</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>やり直し</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>Recent images</source>
        <translation>最近使った画像</translation>
    </message>
    <message>
        <source>Rotate Left</source>
        <translation>左に回転</translation>
    </message>
    <message>
        <source>Rotate Right</source>
        <translation>右に回転</translation>
    </message>
    <message>
        <source>Take Snapshot</source>
        <translation>スナップショットを撮る</translation>
    </message>
    <message>
        <source>Restore Snapshot</source>
        <translation>スナップショットを復元</translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CAboutDlg</name>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Build</source>
        <translation>ビルド</translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CMessageBox</name>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Don&apos;t save</source>
        <translation>保存しない</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>回転</translation>
    </message>
</context>
<context>
    <name>NAVIK_tarl1::CScripting</name>
    <message>
        <source>uncaught exception at line</source>
        <translation>未処理の例外 行</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Image files</source>
        <translation>画像ファイル</translation>
    </message>
    <message>
        <source>Preset files</source>
        <translation>プリセットファイル</translation>
    </message>
    <message>
        <source>_NavikQlt</source>
        <translation>_NavikQlt</translation>
    </message>
    <message>
        <source>Sorry, but this file type is not supported. Please, try again.</source>
        <translation>申し訳ありませんが、この種類のファイルはサポートされていません。もう一度お試しください。</translation>
    </message>
    <message>
        <source>Sorry, but type of these files are not supported. Please, try again.</source>
        <translation>申し訳ありませんが、これらのファイルの種類はサポートされていません。もう一度お試しください。</translation>
    </message>
    <message>
        <source>Can&apos;t create file with name %1. Try to use another name.</source>
        <translation>%1 という名前のファイルを作成できません。別の名前をお試しください。</translation>
    </message>
    <message>
        <source>As shot</source>
        <translation>撮影時の設定</translation>
    </message>
    <message>
        <source>Default B&amp;W</source>
        <translation>デフォルトの白黒</translation>
    </message>
    <message>
        <source>No grain</source>
        <translation>粒子なし</translation>
    </message>
    <message>
        <source>Current film rendering</source>
        <translation>現在のフィルム描写</translation>
    </message>
    <message>
        <source>JPEG Image files</source>
        <translation>JPEG 画像ファイル</translation>
    </message>
    <message>
        <source>TIFF Image files</source>
        <translation>TIFF 画像ファイル</translation>
    </message>
    <message>
        <source>RAW Image files</source>
        <translation>RAW 画像ファイル</translation>
    </message>
    <message>
        <source>The following file already exists:%1Do you want to overwrite it?</source>
        <translation>次のファイルは既に存在します:%1上書きしますか?</translation>
    </message>
    <message>
        <source>Export all presets</source>
        <translation>すべてのプリセットを書き出す</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>Mac free space drive message</source>
        <translation>システムディスクの空き容量が不足しているため、Navik Quillet を起動できません。</translation>
    </message>
    <message>
        <source>Out of memory. Program will be closed.</source>
        <translation>使用可能なメモリが不足しているため、Navik Quillet を終了する必要があります。
他のプログラムを終了してから、Navik Quillet をもう一度起動してください。</translation>
    </message>
    <message>
        <source>%1 has run out of memory. The application may now become unstable. Please close %2 and Photoshop, quit all other programs running, and try again.</source>
        <translation>%1 のメモリが不足しました。アプリケーションが不安定になる可能性があります。%2 と Photoshop を閉じ、実行中の他のプログラムをすべて終了してから、もう一度お試しください。</translation>
    </message>
    <message>
        <source>Unhandled exception. Program will be closed.</source>
        <translation>処理されない例外が発生したため、Navik Quillet を終了する必要があります。</translation>
    </message>
    <message>
        <source>px</source>
        <translation>px</translation>
    </message>
    <message>
        <source>in</source>
        <translation>インチ</translation>
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
        <translation>%1 について</translation>
    </message>
    <message>
        <source>Copyright © Navik Labs. All rights reserved. %1 is protected by copyright law and international treaties. Navik Labs and %1 are trademarks of Navik Labs; all other names are trademarks of their respective owners.</source>
        <translation>Copyright © Navik Labs. All rights reserved. %1 は著作権法および国際条約により保護されています。Navik Labs および %1 は Navik Labs の商標です。その他の名称はそれぞれの所有者の商標です。</translation>
    </message>
    <message>
        <source>Parts of this product are covered by patents. The list of patents is at &lt;a href=&quot;https://www.example.com/intl/redirect/quill/patents&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#88acd5;&quot;&gt;www.example.com&lt;/span&gt;&lt;/a&gt;</source>
        <translation>この製品の一部は特許により保護されています。特許の一覧は &lt;a href=&quot;https://www.example.com/intl/redirect/quill/patents&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#88acd5;&quot;&gt;www.example.com&lt;/span&gt;&lt;/a&gt; にあります</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>baseUIPanelWidget</name>
    <message>
        <source>Reset correction</source>
        <translation>補正をリセット</translation>
    </message>
</context>
<context>
    <name>preferences</name>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>preferencesDlg</name>
    <message>
        <source>Preferences</source>
        <translation>環境設定</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>言語:</translation>
    </message>
    <message>
        <source>Background color</source>
        <translation>背景色</translation>
    </message>
    <message>
        <source>Overlay grid size</source>
        <translation>グリッドのサイズ</translation>
    </message>
    <message>
        <source>pixels</source>
        <translation>ピクセル</translation>
    </message>
    <message>
        <source>Display image size / Unit</source>
        <translation>画像サイズ / 単位を表示</translation>
    </message>
    <message>
        <source>&lt;p&gt;I agree to participate anonymously in the &lt;a href=&quot;https://www.example.com/intl/redirect/quillet/improvement_program&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#d2d2d2;&quot;&gt;Product Improvement Program&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;p&gt;匿名で&lt;a href=&quot;https://www.example.com/intl/redirect/quillet/improvement_program&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#d2d2d2;&quot;&gt;製品改善プログラム&lt;/span&gt;&lt;/a&gt;に参加する&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Send crash reports</source>
        <translation>クラッシュレポートを送信</translation>
    </message>
    <message>
        <source>About Navik Product</source>
        <translation>Navik Product について</translation>
    </message>
</context>
</TS>
