<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>ColorBarPresets</name>
    <message>
        <source>グレー</source>
        <translation>Grey</translation>
    </message>
    <message>
        <source>反転グレー</source>
        <translation>Inverted grey</translation>
    </message>
    <message>
        <source>炎</source>
        <translation>Fire</translation>
    </message>
    <message>
        <source>氷</source>
        <translation>Ice</translation>
    </message>
    <message>
        <source>虹（ループ）</source>
        <translation>Rainbow (loop)</translation>
    </message>
    <message>
        <source>海</source>
        <translation>Sea</translation>
    </message>
    <message>
        <source>夕焼け</source>
        <translation>Sunset</translation>
    </message>
    <message>
        <source>森</source>
        <translation>Forest</translation>
    </message>
    <message>
        <source>縞（ループ）</source>
        <translation>Stripes (loop)</translation>
    </message>
    <message>
        <source>「入力値 R G B」の4つの値が必要です: %1</source>
        <translation>Four values &quot;input R G B&quot; are needed: %1</translation>
    </message>
    <message>
        <source>入力値 &apos;%1&apos; は数値ではありません</source>
        <translation>The input &apos;%1&apos; is not a number</translation>
    </message>
    <message>
        <source>色の値 &apos;%1&apos; は 0 から 255 の整数ではありません</source>
        <translation>The colour value &apos;%1&apos; is not a whole number from 0 to 255</translation>
    </message>
    <message>
        <source>入力値 &apos;%1&apos; は %2 行目と同じです</source>
        <translation>The input &apos;%1&apos; is the same as on line %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; には色帯の項目が2つ以上必要です</source>
        <translation>&apos;%1&apos; needs at least two colour-bar entries</translation>
    </message>
    <message>
        <source>&apos;%1&apos; の %2 行目: %3</source>
        <translation>&apos;%1&apos;, line %2: %3</translation>
    </message>
    <message>
        <source>&apos;%1&apos; を読み込めません: %2</source>
        <translation>Cannot read &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; に書き込めません（元のファイルはそのままです）: %2</source>
        <translation>Cannot write &apos;%1&apos; (the old file is unchanged): %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; はプリセットの名前にできません（空の名前、先頭の「.」、「/」「\」「:」は使えません）</source>
        <translation>&apos;%1&apos; cannot be a preset name (it must not be empty, start with &quot;.&quot;, or contain &quot;/&quot;, &quot;\&quot; or &quot;:&quot;)</translation>
    </message>
    <message>
        <source>フォルダ &apos;%1&apos; を作成できません</source>
        <translation>Cannot create the folder &apos;%1&apos;</translation>
    </message>
</context>
<context>
    <name>QVCaption</name>
    <message>
        <source>%1 [描画中]</source>
        <translation>%1 [rendering]</translation>
    </message>
    <message>
        <source>%1 [保存中… %2]</source>
        <translation>%1 [saving… %2]</translation>
    </message>
</context>
<context>
    <name>QVEditSession</name>
    <message>
        <source>最近のファイルはありません</source>
        <translation>No recent files</translation>
    </message>
    <message>
        <source>プロジェクトの変更を保存しますか？</source>
        <translation>Save the changes to the project?</translation>
    </message>
    <message>
        <source>「%1」への変更を保存しますか？</source>
        <translation>Save the changes to “%1”?</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存しない</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>元に戻せませんでした。何も変更していません。
%1</source>
        <translation>Could not undo. Nothing was changed.
%1</translation>
    </message>
</context>
<context>
    <name>QVEngineNames</name>
    <message>
        <source>log(log(大きさ))</source>
        <translation>log(log(magnitude))</translation>
    </message>
    <message>
        <source>log(大きさ)</source>
        <translation>log(magnitude)</translation>
    </message>
    <message>
        <source>エプシロンクロス</source>
        <translation>Epsilon cross</translation>
    </message>
    <message>
        <source>ジュリア</source>
        <translation>Julia</translation>
    </message>
    <message>
        <source>ノルム</source>
        <translation>Norm</translation>
    </message>
    <message>
        <source>バイアス</source>
        <translation>Bias</translation>
    </message>
    <message>
        <source>マンデルブロ</source>
        <translation>Mandelbrot</translation>
    </message>
    <message>
        <source>ループサイズ</source>
        <translation>Loop size</translation>
    </message>
    <message>
        <source>中心点</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>十字</source>
        <translation>Cross</translation>
    </message>
    <message>
        <source>和合成</source>
        <translation>Sum</translation>
    </message>
    <message>
        <source>回数</source>
        <translation>Iterations</translation>
    </message>
    <message>
        <source>回数(ループ)</source>
        <translation>Iterations (loop)</translation>
    </message>
    <message>
        <source>回数0</source>
        <translation>Iterations 0</translation>
    </message>
    <message>
        <source>大きさ</source>
        <translation>Magnitude</translation>
    </message>
    <message>
        <source>定数</source>
        <translation>Constant</translation>
    </message>
    <message>
        <source>実数虚数比</source>
        <translation>Real/imaginary ratio</translation>
    </message>
    <message>
        <source>実数虚数積</source>
        <translation>Real × imaginary</translation>
    </message>
    <message>
        <source>実部</source>
        <translation>Real part</translation>
    </message>
    <message>
        <source>差分累積</source>
        <translation>Accumulated difference</translation>
    </message>
    <message>
        <source>市松模様累積</source>
        <translation>Accumulated checkerboard</translation>
    </message>
    <message>
        <source>幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>球</source>
        <translation>Sphere</translation>
    </message>
    <message>
        <source>終点</source>
        <translation>End point</translation>
    </message>
    <message>
        <source>虚部</source>
        <translation>Imaginary part</translation>
    </message>
    <message>
        <source>角度</source>
        <translation>Angle</translation>
    </message>
    <message>
        <source>透明合成１</source>
        <translation>Transparent blend 1</translation>
    </message>
    <message>
        <source>透明合成２</source>
        <translation>Transparent blend 2</translation>
    </message>
    <message>
        <source>開始回数</source>
        <translation>Start iteration</translation>
    </message>
    <message>
        <source>黒色透過</source>
        <translation>Black transparent</translation>
    </message>
    <message>
        <source>黒色透過２</source>
        <translation>Black transparent 2</translation>
    </message>
</context>
<context>
    <name>QVErrorBox</name>
    <message>
        <source>メモリが不足しています</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>不明なエラーが発生しました</source>
        <translation>An unknown error occurred</translation>
    </message>
</context>
<context>
    <name>QVFileDialogs</name>
    <message>
        <source>ソース（*.qvl) (*.qvl)</source>
        <translation>Source (*.qvl) (*.qvl)</translation>
    </message>
    <message>
        <source>PNG イメージファイル (*.png) (*.png)</source>
        <translation>PNG image file (*.png) (*.png)</translation>
    </message>
    <message>
        <source>ビットマップ (*.bmp) (*.bmp)</source>
        <translation>Bitmap (*.bmp) (*.bmp)</translation>
    </message>
    <message>
        <source>JPEG イメージファイル (*.jpg) (*.jpg)</source>
        <translation>JPEG image file (*.jpg) (*.jpg)</translation>
    </message>
    <message>
        <source>ソース（*.qvl） (*.qvl)</source>
        <translation>Source (*.qvl) (*.qvl)</translation>
    </message>
    <message>
        <source>ソース Shift-JIS（*.qvl） (*.qvl)</source>
        <translation>Source, Shift-JIS (*.qvl) (*.qvl)</translation>
    </message>
</context>
<context>
    <name>QVFileMessages</name>
    <message>
        <source>ファイルがありません。名前と場所を確かめてください。</source>
        <translation>The file does not exist. Check its name and folder.</translation>
    </message>
    <message>
        <source>ファイルを読む権限がありません。</source>
        <translation>No permission to read the file.</translation>
    </message>
    <message>
        <source>フォルダです。ファイルを選んでください。</source>
        <translation>This is a folder. Choose a file.</translation>
    </message>
    <message>
        <source>読み込み中にエラーが起きました（エラー番号 %1）。</source>
        <translation>An error occurred while reading (error number %1).</translation>
    </message>
    <message>
        <source>%1 行 %2 列</source>
        <translation>line %1, column %2</translation>
    </message>
    <message>
        <source>「%1」があるはずですが、テキストが終わっています。</source>
        <translation>“%1” was expected, but the text ends.</translation>
    </message>
    <message>
        <source>「%1」があるはずの所に「%2」があります。</source>
        <translation>“%1” was expected, but “%2” was found.</translation>
    </message>
    <message>
        <source>「%1」の後に空白が要ります（「%2」）。</source>
        <translation>A blank is needed after “%1” (found “%2”).</translation>
    </message>
    <message>
        <source>数があるはずです。</source>
        <translation>A number was expected.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は数ではありません。</source>
        <translation>&apos;%1&apos; is not a number.</translation>
    </message>
    <message>
        <source>%1。</source>
        <translation>%1.</translation>
    </message>
    <message>
        <source>「%1」を読み込めませんでした。何も変更していません。
%2</source>
        <translation>Could not load “%1”. Nothing was changed.
%2</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます（プロジェクトファイルは %1 MiB までです）。</source>
        <translation>The file is too large (a project file may have at most %1 MiB).</translation>
    </message>
    <message>
        <source>UTF-8 でも Shift-JIS でもないファイルです。プロジェクトはどちらかの文字コードのテキストで保存してください。</source>
        <translation>The file is neither UTF-8 nor Shift-JIS. Save the project as text in one of these encodings.</translation>
    </message>
    <message>
        <source>%1に、プロジェクトに書けない制御文字（%2）があります。取り除いてください。</source>
        <translation>At %1 there is a control character (%2) that a project may not contain. Remove it.</translation>
    </message>
    <message>
        <source>ソースを読み込めませんでした。何も変更していません。
%1</source>
        <translation>Could not read the source. Nothing was changed.
%1</translation>
    </message>
    <message>
        <source>「%1」を保存できませんでした。前のファイルはそのままです。
%2</source>
        <translation>Could not save “%1”. The previous file is unchanged.
%2</translation>
    </message>
    <message>
        <source>「%1」を保存できませんでした。
%2</source>
        <translation>Could not save “%1”.
%2</translation>
    </message>
    <message>
        <source>保存先のフォルダがありません。</source>
        <translation>The destination folder does not exist.</translation>
    </message>
    <message>
        <source>書き込む権限がありません。</source>
        <translation>No permission to write there.</translation>
    </message>
    <message>
        <source>同じ名前のフォルダがあります。</source>
        <translation>A folder with the same name exists.</translation>
    </message>
    <message>
        <source>ディスクの空きが足りません。</source>
        <translation>Not enough free disk space.</translation>
    </message>
    <message>
        <source>読み取り専用の場所です。</source>
        <translation>The location is read-only.</translation>
    </message>
    <message>
        <source>書き込み中にエラーが起きました（エラー番号 %1）。</source>
        <translation>An error occurred while writing (error number %1).</translation>
    </message>
    <message>
        <source>%1 × %2 の画像の描画と保存には扱えるより多くのメモリが要りますが、使えるのは %3 MiB です。画像サイズ（幅と高さ）を小さくしてください。</source>
        <translation>Rendering and saving a %1 × %2 picture needs more memory than can be handled, but only %3 MiB is available. Make the image size (width and height) smaller.</translation>
    </message>
    <message>
        <source>%1 × %2 の画像の描画と保存には %3 MiB のメモリが要りますが、使えるのは %4 MiB です。画像サイズ（幅と高さ）を小さくしてください。</source>
        <translation>Rendering and saving a %1 × %2 picture needs %3 MiB of memory, but only %4 MiB is available. Make the image size (width and height) smaller.</translation>
    </message>
    <message>
        <source>ジェネレータ</source>
        <translation>generator</translation>
    </message>
    <message>
        <source>エフェクタ</source>
        <translation>effector</translation>
    </message>
    <message>
        <source>「on」か「off」があるはずの所に「%1」があります。</source>
        <translation>“on” or “off” was expected, but “%1” was found.</translation>
    </message>
    <message>
        <source>「%1」</source>
        <translation> “%1”</translation>
    </message>
    <message>
        <source>「%1」に「%2」という名前はありません。%3のどれかにしてください。</source>
        <translation>“%1” has no name “%2”. Use one of:%3.</translation>
    </message>
    <message>
        <source>「%1」という名前の%2がありません。</source>
        <translation>There is no %2 named “%1”.</translation>
    </message>
    <message>
        <source>ミキサーの要素に演算子と名前がありません。</source>
        <translation>A mixer element has no operator and name.</translation>
    </message>
    <message>
        <source>色の成分 %1 が 0～255 の範囲にありません。</source>
        <translation>The colour component %1 is not in the range 0 to 255.</translation>
    </message>
    <message>
        <source>「%1」の %2 個のパラメータのうち %3 番目の「Parameter:」がありません。</source>
        <translation>“%1” has %2 parameters, but its “Parameter:” number %3 is missing.</translation>
    </message>
    <message>
        <source>ここから先は「Parameter:」のブロックで始まるプロジェクトとして読めません。</source>
        <translation>From here on, the text cannot be read as a project that starts with a “Parameter:” block.</translation>
    </message>
    <message>
        <source>保存先のフォルダの名前がファイルの名前になっています。</source>
        <translation>A part of the folder path is a file, not a folder.</translation>
    </message>
    <message>
        <source>ファイルがこの場所に書ける大きさを超えます。</source>
        <translation>The file is larger than this location can hold.</translation>
    </message>
    <message>
        <source>書き込み中にエラーが起きました。</source>
        <translation>An error occurred while writing.</translation>
    </message>
    <message>
        <source>保存する画像がありません（ミキサーがないか、画像サイズが 0 です）。</source>
        <translation>There is no picture to save (there is no mixer, or the picture size is 0).</translation>
    </message>
    <message>
        <source>ファイルを書けませんでした（%1）。</source>
        <translation>The file could not be written (%1).</translation>
    </message>
    <message>
        <source>画像を符号化できませんでした（%1）。</source>
        <translation>The picture could not be encoded (%1).</translation>
    </message>
    <message>
        <source>%1 × %2 の画像はこの形式では保存できません。PNG で保存するか、画像サイズを小さくしてください。</source>
        <translation>A %1 x %2 picture cannot be stored in this format. Save it as PNG, or make the picture size smaller.</translation>
    </message>
    <message>
        <source>保存を中止しました。</source>
        <translation>The save was stopped.</translation>
    </message>
    <message>
        <source>エラーが起きました（%1）。</source>
        <translation>An error occurred (%1).</translation>
    </message>
    <message>
        <source>メモリが足りません。画像サイズかアンチエイリアスのサンプル数を小さくするか、ほかのプログラムを閉じてから保存し直してください。</source>
        <translation>Not enough memory. Make the image size or the anti-aliasing samples smaller, or close other programs, and save again.</translation>
    </message>
</context>
<context>
    <name>QVGraphEdit</name>
    <message>
        <source>入力</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>入力（マスク）</source>
        <translation>Input (mask)</translation>
    </message>
    <message>
        <source>透過入力</source>
        <translation>Transparence input</translation>
    </message>
    <message>
        <source>透過入力（マスク）</source>
        <translation>Transparence input (mask)</translation>
    </message>
    <message>
        <source>「%1」は %2 が使っています。削除すると、その参照もなくなります。削除しますか？</source>
        <translation>“%1” is used by %2. Deleting it also removes those references. Delete it?</translation>
    </message>
    <message>
        <source>プロジェクトにミキサーがないため、描画する画像がありません。コントローラの空いた所を右クリックして、ミキサーを追加してください。</source>
        <translation>The project has no mixer, so there is no picture to render. Right-click an empty place of the Controller page and add a mixer.</translation>
    </message>
    <message>
        <source>ミキサー「%1」に入力がないため描画できません。ミキサーのパネルを右クリックして、エフェクタを入力してください。</source>
        <translation>Cannot render: the mixer “%1” has no input. Right-click the mixer&apos;s panel and connect an effector.</translation>
    </message>
    <message>
        <source>エフェクタ「%1」にジェネレータがないため描画できません。エフェクタの編集画面でジェネレータを選んでください。</source>
        <translation>Cannot render: the effector “%1” has no generator. Choose a generator in the effector&apos;s editor.</translation>
    </message>
</context>
<context>
    <name>QVHelp</name>
    <message>
        <source>クリック</source>
        <translation>Click</translation>
    </message>
    <message>
        <source>その点を中心に描き直す</source>
        <translation>Render again centred on that point</translation>
    </message>
    <message>
        <source>ドラッグ</source>
        <translation>Drag</translation>
    </message>
    <message>
        <source>範囲を選ぶ（角のドラッグで大きさ、内側のドラッグで位置を変える）</source>
        <translation>Select an area (drag a corner to resize it, drag inside to move it)</translation>
    </message>
    <message>
        <source>範囲の内側をダブルクリック</source>
        <translation>Double-click inside the area</translation>
    </message>
    <message>
        <source>その範囲まで拡大する</source>
        <translation>Zoom in to the area</translation>
    </message>
    <message>
        <source>範囲の外側をダブルクリック</source>
        <translation>Double-click outside the area</translation>
    </message>
    <message>
        <source>同じ比率で縮小する</source>
        <translation>Zoom out by the same ratio</translation>
    </message>
    <message>
        <source>右クリック</source>
        <translation>Right-click</translation>
    </message>
    <message>
        <source>選んだ範囲を取り消す</source>
        <translation>Cancel the selected area</translation>
    </message>
    <message>
        <source>ホイール</source>
        <translation>Wheel</translation>
    </message>
    <message>
        <source>カーソルの位置を中心に 1 目盛りで 2 倍、拡大・縮小する</source>
        <translation>Zoom in or out about the pointer, 2× per notch</translation>
    </message>
    <message>
        <source>中ボタンのドラッグ</source>
        <translation>Middle-button drag</translation>
    </message>
    <message>
        <source>表示を動かす</source>
        <translation>Move the view</translation>
    </message>
    <message>
        <source>Ctrl＋左ボタンを押し続ける</source>
        <translation>Hold Ctrl+left button</translation>
    </message>
    <message>
        <source>ポインタの位置へ連続して拡大する（Shift も押すと縮小）</source>
        <translation>Zoom in continuously towards the pointer (with Shift, zoom out)</translation>
    </message>
    <message>
        <source>＋ ／ −</source>
        <translation>+ / −</translation>
    </message>
    <message>
        <source>中央を中心に拡大・縮小する</source>
        <translation>Zoom in or out about the centre</translation>
    </message>
    <message>
        <source>矢印キー</source>
        <translation>Arrow keys</translation>
    </message>
    <message>
        <source>F5 ／ Esc</source>
        <translation>F5 / Esc</translation>
    </message>
    <message>
        <source>描画する ／ 描画を止める</source>
        <translation>Render / stop rendering</translation>
    </message>
    <message>
        <source>Alt＋← ／ Alt＋→、マウスの戻る・進むボタン</source>
        <translation>Alt+← / Alt+→, the mouse back and forward buttons</translation>
    </message>
    <message>
        <source>前の表示 ／ 次の表示</source>
        <translation>Previous view / next view</translation>
    </message>
    <message>
        <source>Ctrl＋Z</source>
        <translation>Ctrl+Z</translation>
    </message>
    <message>
        <source>元に戻す（ソースのページでは文字の取り消し）</source>
        <translation>Undo (on the Source page, undo typing)</translation>
    </message>
    <message>
        <source>Ctrl＋Shift＋Z ／ Ctrl＋Y</source>
        <translation>Ctrl+Shift+Z / Ctrl+Y</translation>
    </message>
    <message>
        <source>やり直す</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Ctrl＋O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Ctrl＋S ／ Ctrl＋Shift＋S</source>
        <translation>Ctrl+S / Ctrl+Shift+S</translation>
    </message>
    <message>
        <source>上書き保存 ／ 名前を付けて保存</source>
        <translation>Save / Save as</translation>
    </message>
    <message>
        <source>ファイルをウィンドウへドロップ</source>
        <translation>Drop a file on a window</translation>
    </message>
    <message>
        <source>プロジェクト（*.qvl）か、プロジェクト入りの PNG を開く</source>
        <translation>Open a project (*.qvl) or a PNG that carries one</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>このヘルプ</source>
        <translation>This help</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>読み込む（「読み込み」の横の ▼ か右クリックで最近のファイル）</source>
        <translation>Load (the ▼ beside “Load”, or a right-click, for the recent files)</translation>
    </message>
</context>
<context>
    <name>QVLanguageMenu</name>
    <message>
        <source>言語 / Language</source>
        <translation>言語 / Language</translation>
    </message>
    <message>
        <source>画面の言語を選ぶ（次の起動から有効）。ふつうはシステムの言語に従う</source>
        <translation>Choose the language of the editor (from the next start). By default it follows the system language</translation>
    </message>
    <message>
        <source>システムに従う</source>
        <translation>Follow the system</translation>
    </message>
    <message>
        <source>言語の設定を保存しました。次の起動から有効になります。</source>
        <translation>The language setting is saved. It takes effect at the next start.</translation>
    </message>
</context>
<context>
    <name>QVLinkChoice</name>
    <message>
        <source>（なし）</source>
        <translation>(none)</translation>
    </message>
</context>
<context>
    <name>QVNameRule</name>
    <message>
        <source>名前を入力してください</source>
        <translation>Enter a name</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は他のノードの名前です</source>
        <translation>&apos;%1&apos; is the name of another node</translation>
    </message>
    <message>
        <source>名前に空白や制御文字は使えません</source>
        <translation>A name may not contain blanks or control characters</translation>
    </message>
</context>
<context>
    <name>QVNumberEntry</name>
    <message>
        <source>&apos;%1&apos; は範囲外です（整数は -2147483648 から 2147483647 までです）</source>
        <translation>&apos;%1&apos; is out of range (an integer is from -2147483648 to 2147483647)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は小さすぎて 0 になります（%2は 0 より大きい数です）</source>
        <translation>&apos;%1&apos; is so small that it becomes 0 (%2 is a number above 0)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は%2にできません（0 より大きい数にしてください）</source>
        <translation>&apos;%1&apos; cannot be the %2 (enter a number above 0)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は%2にできません（1 以上の整数にしてください）</source>
        <translation>&apos;%1&apos; cannot be the %2 (enter an integer of 1 or more)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は浮動小数点数ではありません</source>
        <translation>&apos;%1&apos; is not a floating-point number</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は範囲外です（数は -1.79E308 から 1.79E308 までです）</source>
        <translation>&apos;%1&apos; is out of range (a number is from -1.79E308 to 1.79E308)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は整数ではありません</source>
        <translation>&apos;%1&apos; is not an integer</translation>
    </message>
</context>
<context>
    <name>QVViewerGesture</name>
    <message>
        <source>この拡大・縮小はできません。視点と視点倍率が数の範囲（-1.79E308 から 1.79E308）を超えるか、視点倍率が 0 になります。視点はそのままです。</source>
        <translation>This zoom is not possible: the viewpoint or the view scale would leave the range of numbers (-1.79E308 to 1.79E308), or the view scale would become 0. The viewpoint is unchanged.</translation>
    </message>
</context>
<context>
    <name>QVViewerStatus</name>
    <message>
        <source>描画中…（Esc で中止）</source>
        <translation>Rendering… (Esc to stop)</translation>
    </message>
    <message>
        <source>描画を中断しました（F5 で描画）</source>
        <translation>Rendering stopped (F5 to render)</translation>
    </message>
    <message>
        <source>描画できませんでした: %1</source>
        <translation>Could not render: %1</translation>
    </message>
    <message>
        <source>%1 [中断]</source>
        <translation>%1 [stopped]</translation>
    </message>
    <message>
        <source>プロジェクトにミキサーがないため、描画する画像がありません。ミキサーのあるプロジェクトを読み込むか、ソースに書いて「ソース書込」を押してください。</source>
        <translation>The project has no mixer, so there is no picture to render. Load a project with a mixer, or write one in the source and press “Write Source”.</translation>
    </message>
    <message>
        <source>画像の大きさが幅 %1、高さ %2 のため描画できません。幅と高さを 1 以上にしてください。</source>
        <translation>Cannot render a picture of width %1 and height %2. Make the width and height 1 or more.</translation>
    </message>
    <message>
        <source>座標 (%1, %2)</source>
        <translation>Point (%1, %2)</translation>
    </message>
    <message>
        <source>描画完了 %1 秒（毎秒 %2 画素）</source>
        <translation>Rendered in %1 s (%2 pixels per second)</translation>
    </message>
    <message>
        <source>描画完了 %1 秒</source>
        <translation>Rendered in %1 s</translation>
    </message>
    <message>
        <source>これ以上%1できません: 視点か倍率が数値の範囲を超えます。</source>
        <translation>Cannot %1 any further: the viewpoint or the scale would leave the range of numbers.</translation>
    </message>
    <message>
        <source>深い視点（摂動計算）深さ %1</source>
        <translation>Deep view (perturbation), depth %1</translation>
    </message>
    <message>
        <source>式「%1」は深い視点（摂動計算）に対応していません: 倍率 %2 では倍精度で計算されるため、同じ色の画素のかたまりになります（深い視点は z^2+C、z^3+C、z+C で計算できます）</source>
        <translation>The formula &quot;%1&quot; has no deep path (perturbation): at scale %2 it is computed in doubles, so the picture shows blocks of equal pixels (the deep path takes z^2+C, z^3+C and z+C)</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>保存を中止</source>
        <translation>Stop Saving</translation>
    </message>
    <message>
        <source>「%1」はプロジェクトを含まない PNG です。Q-Vell で保存した PNG か、ソース（*.qvl）を選んでください。何も変更していません。</source>
        <translation>“%1” is a PNG without a project. Choose a PNG saved by Q-Vell, or a source (*.qvl). Nothing was changed.</translation>
    </message>
    <message>
        <source>パラメータ</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>コントローラ</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>ソース</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>読み込み</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>ソース抽出</source>
        <translation>Extract Source</translation>
    </message>
    <message>
        <source>ソース書込</source>
        <translation>Write Source</translation>
    </message>
    <message>
        <source>描画</source>
        <translation>Render</translation>
    </message>
    <message>
        <source>保存中です。いまの保存が終わってから、もう一度「保存」を押してください。</source>
        <translation>A save is running. Press “Save” again when it has finished.</translation>
    </message>
    <message>
        <source>保存する画像がまだありません。先に「描画」を押してください。</source>
        <translation>There is no picture to save yet. Press “Render” first.</translation>
    </message>
    <message>
        <source>アンチエイリアスのサンプル数は 1 から 8 です。</source>
        <translation>The anti-aliasing samples are from 1 to 8.</translation>
    </message>
    <message>
        <source>描画できませんでした: %1</source>
        <translation>Could not render: %1</translation>
    </message>
    <message>
        <source>アンチエイリアス（一辺のサンプル数）</source>
        <translation>Anti-aliasing (samples per side)</translation>
    </message>
    <message>
        <source>全体の設定: 視点、視点倍率、画像サイズ、フラクタルの式</source>
        <translation>Global settings: viewpoint, view scale, image size, fractal formula</translation>
    </message>
    <message>
        <source>ノードのグラフ: パネルをクリックするとそのノードを編集する</source>
        <translation>The node graph: click a panel to edit its node</translation>
    </message>
    <message>
        <source>プロジェクトのテキスト。「ソース抽出」で書き出し、「ソース書込」で読み込む</source>
        <translation>The project as text. “Extract Source” writes it here, “Write Source” reads it back</translation>
    </message>
    <message>
        <source>画像（BMP・JPEG・PNG）かプロジェクト（*.qvl）を保存する（Ctrl＋S）</source>
        <translation>Save the picture (BMP, JPEG, PNG) or the project (*.qvl) (Ctrl+S)</translation>
    </message>
    <message>
        <source>画像の保存を止める（Esc）。前のファイルはそのまま</source>
        <translation>Stop saving the picture (Esc). The previous file stays as it was</translation>
    </message>
    <message>
        <source>いまのプロジェクトをテキストにしてソースのページに書き出す</source>
        <translation>Write the current project as text on the Source page</translation>
    </message>
    <message>
        <source>ソースのページのテキストを読み込み、プロジェクトにする</source>
        <translation>Read the text of the Source page as the project</translation>
    </message>
    <message>
        <source>画像を描画する（F5 か Enter、Esc で中止）</source>
        <translation>Render the picture (F5 or Enter; Esc stops)</translation>
    </message>
    <message>
        <source>サンプル</source>
        <translation>Examples</translation>
    </message>
    <message>
        <source>サンプルが見つかりません（%1）</source>
        <translation>No examples found (%1)</translation>
    </message>
    <message>
        <source>付属のサンプルプロジェクトを開く</source>
        <translation>Open one of the example projects that come with the program</translation>
    </message>
    <message>
        <source>最近のファイル</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>プロジェクト（*.qvl）か、プロジェクト入りの PNG を開く（Ctrl＋O、▼ か右クリックで最近のファイル）</source>
        <translation>Open a project (*.qvl) or a PNG that carries one (Ctrl+O; ▼ or right-click for the recent files)</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>ソースを作成中…</source>
        <translation>Writing the source…</translation>
    </message>
    <message>
        <source>ソースを表示中…</source>
        <translation>Showing the source…</translation>
    </message>
    <message>
        <source>ソースを読み取り中…</source>
        <translation>Reading the source…</translation>
    </message>
    <message>
        <source>「%1」を読み込み中…</source>
        <translation>Loading “%1”…</translation>
    </message>
    <message>
        <source>「%1」を保存中…</source>
        <translation>Saving “%1”…</translation>
    </message>
    <message>
        <source>ソースの読み書き中です。終わるのを待つか「中止」を押してから、もう一度操作してください。</source>
        <translation>The source is being read or written. Wait until it ends, or press “Stop”, then try again.</translation>
    </message>
</context>
<context>
    <name>TFormEffector</name>
    <message>
        <source>Q-Vell Effector</source>
        <translation>Q-Vell Effector</translation>
    </message>
    <message>
        <source>off</source>
        <translation>off</translation>
    </message>
    <message>
        <source>on</source>
        <translation>on</translation>
    </message>
</context>
<context>
    <name>TFormGenerator</name>
    <message>
        <source>Q-Vell Generator</source>
        <translation>Q-Vell Generator</translation>
    </message>
</context>
<context>
    <name>TFormMixer</name>
    <message>
        <source>Q-Vell Mixer</source>
        <translation>Q-Vell Mixer</translation>
    </message>
</context>
<context>
    <name>TFormViewer</name>
    <message>
        <source>ライブズーム %1 fps</source>
        <translation>Live zoom %1 fps</translation>
    </message>
    <message>
        <source>描画完了 座標</source>
        <translation>Rendered  Point</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>zoom in</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>zoom out</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>move</translation>
    </message>
    <message>
        <source>クリック: その点を中心に描き直す。ドラッグ: 範囲を選ぶ。範囲の内側をダブルクリック: 拡大。ホイール: 拡大・縮小。F1: すべての操作</source>
        <translation>Click: render again centred there. Drag: select an area. Double-click inside the area: zoom in. Wheel: zoom in or out. F1: every gesture and key</translation>
    </message>
    <message>
        <source>「%1」の画像を計算しています…</source>
        <translation>Computing the picture of “%1”…</translation>
    </message>
    <message>
        <source>ジェネレータがありません</source>
        <translation>There is no generator</translation>
    </message>
    <message>
        <source>「%1」の画像を表示できません: %2</source>
        <translation>Cannot show the picture of “%1”: %2</translation>
    </message>
    <message>
        <source>「%1」を表示中（「描画」で出力に戻ります）</source>
        <translation>Showing “%1” (“Render” returns to the output)</translation>
    </message>
</context>
<context>
    <name>TFrameController</name>
    <message>
        <source>ジェネレータを追加</source>
        <translation>Add Generator</translation>
    </message>
    <message>
        <source>エフェクタを追加</source>
        <translation>Add Effector</translation>
    </message>
    <message>
        <source>ミキサーを追加</source>
        <translation>Add Mixer</translation>
    </message>
</context>
<context>
    <name>TFrameEffector</name>
    <message>
        <source>&apos;%1&apos; は別の項目の入力値 %2 と同じです</source>
        <translation>&apos;%1&apos; is the same as the input value %2 of another stop</translation>
    </message>
    <message>
        <source>色彩変換方法</source>
        <translation>Colouring method</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>入力値</source>
        <translation>Input value</translation>
    </message>
    <message>
        <source>色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>差分法</source>
        <translation>Differential</translation>
    </message>
    <message>
        <source>正規化</source>
        <translation>Normalise</translation>
    </message>
    <message>
        <source>輪郭除去</source>
        <translation>Remove edges</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>エフェクタの名前（ほかのノードと別の名前）</source>
        <translation>The effector’s name (different from every other node’s)</translation>
    </message>
    <message>
        <source>カラーバー: ダブルクリックで色を追加（その位置の色で）</source>
        <translation>Colour bar: double-click to add a colour (the colour shown there)</translation>
    </message>
    <message>
        <source>選んだ色の位置</source>
        <translation>Where the selected colour stands</translation>
    </message>
    <message>
        <source>前の色を選ぶ</source>
        <translation>Select the previous colour</translation>
    </message>
    <message>
        <source>次の色を選ぶ</source>
        <translation>Select the next colour</translation>
    </message>
    <message>
        <source>選んだ色の入力値: 色彩変換の値がこの値のとき、この色になる。浮動小数点数（Enter か、ほかへ移ると確定）</source>
        <translation>Input value of the selected colour: where the colouring value equals it, the pixel gets this colour. A floating-point number (applied on Enter or when you leave the box)</translation>
    </message>
    <message>
        <source>選んだ色。クリックで色を選び直す</source>
        <translation>The selected colour. Click to choose another</translation>
    </message>
    <message>
        <source>選んだ色を削除する（最後の 2 色は消せない）</source>
        <translation>Delete the selected colour (the last two cannot be deleted)</translation>
    </message>
    <message>
        <source>オン: 色彩変換の値そのものでなく、隣の画素との差（方向の向き）で色を付ける</source>
        <translation>On: colour by the difference to the neighbouring pixel (along the direction) instead of the value itself</translation>
    </message>
    <message>
        <source>差を画素の間の距離で割る: 拡大しても同じ濃さに見える</source>
        <translation>Divide the difference by the distance between pixels, so it looks the same at any zoom</translation>
    </message>
    <message>
        <source>反復回数の境目をまたぐ差を避け、境目の線を消す</source>
        <translation>Avoid differences across iteration-count bands, removing the band edges</translation>
    </message>
    <message>
        <source>差を取る向きの%1（浮動小数点数）</source>
        <translation>The %1 of the direction of the difference (a floating-point number)</translation>
    </message>
    <message>
        <source>実部</source>
        <translation>real part</translation>
    </message>
    <message>
        <source>虚部</source>
        <translation>imaginary part</translation>
    </message>
    <message>
        <source>ドラッグまたは矢印キーで移動、色帯の外へドラッグで削除、ダブルクリックで色を選択</source>
        <translation>Drag or use the arrow keys to move; drag off the bar to delete; double-click to choose the colour</translation>
    </message>
    <message>
        <source>プリセット</source>
        <translation>Presets</translation>
    </message>
    <message>
        <source>色帯に項目がありません。色帯をダブルクリックすると黒から白の色帯を作ります</source>
        <translation>The colour bar has no entries. Double-click the bar to make a black-to-white bar</translation>
    </message>
    <message>
        <source>色帯に項目を補いました</source>
        <translation>Entries were added to the colour bar</translation>
    </message>
    <message>
        <source>色帯には少なくとも2つの項目が必要です</source>
        <translation>A colour bar needs at least two entries</translation>
    </message>
    <message>
        <source>色帯「%1」を適用しました</source>
        <translation>Applied the colour bar &quot;%1&quot;</translation>
    </message>
    <message>
        <source>色帯の書き出し</source>
        <translation>Export Colour Bar</translation>
    </message>
    <message>
        <source>色帯の読み込み</source>
        <translation>Import Colour Bar</translation>
    </message>
    <message>
        <source>色帯ファイル (*.txt)</source>
        <translation>Colour bar files (*.txt)</translation>
    </message>
    <message>
        <source>すべてのファイル (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>プリセットの保存</source>
        <translation>Save Preset</translation>
    </message>
    <message>
        <source>プリセットの名前:</source>
        <translation>Preset name:</translation>
    </message>
    <message>
        <source>（保存したプリセットはありません）</source>
        <translation>(no saved presets)</translation>
    </message>
    <message>
        <source>現在の色帯をプリセットとして保存...</source>
        <translation>Save the current bar as a preset...</translation>
    </message>
    <message>
        <source>色帯をファイルから読み込み...</source>
        <translation>Import a bar from a file...</translation>
    </message>
    <message>
        <source>色帯をファイルへ書き出し...</source>
        <translation>Export the bar to a file...</translation>
    </message>
    <message>
        <source>プリセット「%1」を保存しました</source>
        <translation>Saved the preset &quot;%1&quot;</translation>
    </message>
    <message>
        <source>色帯を &apos;%1&apos; に書き出しました</source>
        <translation>Exported the colour bar to &apos;%1&apos;</translation>
    </message>
    <message>
        <source>用意された色帯を適用する。いまの色帯をプリセットとして保存し、色帯をファイルから読み込み、ファイルへ書き出す</source>
        <translation>Apply a ready-made colour bar; save the current bar as a preset; import a bar from a file or export it to one</translation>
    </message>
    <message>
        <source>ジェネレータ</source>
        <translation>Generator</translation>
    </message>
    <message>
        <source>このエフェクタが色を付けるジェネレータ</source>
        <translation>The generator this effector colours</translation>
    </message>
</context>
<context>
    <name>TFrameGenerator</name>
    <message>
        <source>深さ</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>範囲</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>発散判定方法</source>
        <translation>Divergence test</translation>
    </message>
    <message>
        <source>演算出力方法</source>
        <translation>Output method</translation>
    </message>
    <message>
        <source>ジェネレータの名前（ほかのノードと別の名前）</source>
        <translation>The generator’s name (different from every other node’s)</translation>
    </message>
    <message>
        <source>1 画素あたりの反復の最大回数。整数（小数は切り捨て）。大きいほど細部が出るが遅い</source>
        <translation>The most iteration steps per pixel. An integer (a fraction is cut off). Higher shows more detail but is slower</translation>
    </message>
    <message>
        <source>発散とみなす境界: |z|² がこの値を超えると反復をやめる。浮動小数点数</source>
        <translation>Escape bound: the iteration stops when |z|² exceeds it. A floating-point number</translation>
    </message>
</context>
<context>
    <name>TFrameMethod</name>
    <message>
        <source>%1を選ぶ。下の欄は選んだ方法のパラメータ</source>
        <translation>Choose the %1. The boxes below are the parameters of the chosen method</translation>
    </message>
    <message>
        <source>「%1」の実部（浮動小数点数）</source>
        <translation>Real part of “%1” (a floating-point number)</translation>
    </message>
    <message>
        <source>「%1」の虚部（浮動小数点数）</source>
        <translation>Imaginary part of “%1” (a floating-point number)</translation>
    </message>
</context>
<context>
    <name>TFrameMixer</name>
    <message>
        <source>マスクスイッチ</source>
        <translation>Mask switch</translation>
    </message>
    <message>
        <source>透過法</source>
        <translation>Transparence</translation>
    </message>
    <message>
        <source>正規化</source>
        <translation>Normalise</translation>
    </message>
    <message>
        <source>Source List</source>
        <translation>Source List</translation>
    </message>
    <message>
        <source>Transparence List</source>
        <translation>Transparence List</translation>
    </message>
    <message>
        <source>ミキサーの名前（ほかのノードと別の名前）</source>
        <translation>The mixer’s name (different from every other node’s)</translation>
    </message>
    <message>
        <source>オン: 二つのリストを無視して、下のミキサーの画像をそのまま通す</source>
        <translation>On: ignore both lists and pass the base mixer’s picture through unchanged</translation>
    </message>
    <message>
        <source>ソースの色と透過入力の色を重ねる方法</source>
        <translation>How the source colours and the transparent inputs are combined</translation>
    </message>
    <message>
        <source>オン: 255 を超えた色を明るさの比を保って縮める。オフ: 255 で切る</source>
        <translation>On: scale colours above 255 down, keeping their proportions. Off: clip them at 255</translation>
    </message>
    <message>
        <source>ベースミキサー</source>
        <translation>Base mixer</translation>
    </message>
    <message>
        <source>上へ</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下へ</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>色を足し合わせる入力。右クリックかドラッグで順番を変え、削除する</source>
        <translation>The inputs whose colours are added. Right-click or drag to reorder or remove them</translation>
    </message>
    <message>
        <source>透過に使う入力。右クリックかドラッグで順番を変え、削除する</source>
        <translation>The inputs used for transparence. Right-click or drag to reorder or remove them</translation>
    </message>
    <message>
        <source>選んだ入力を一つ上へ移す</source>
        <translation>Move the selected input up one place</translation>
    </message>
    <message>
        <source>選んだ入力を一つ下へ移す</source>
        <translation>Move the selected input down one place</translation>
    </message>
    <message>
        <source>選んだ入力をリストから外す（エフェクタは残る）</source>
        <translation>Remove the selected input from the list (the effector stays)</translation>
    </message>
    <message>
        <source>このミキサーが重ねる下のミキサー（ミキサーの順番が変わる）</source>
        <translation>The mixer below, which this mixer composites onto (changes the order of the mixers)</translation>
    </message>
</context>
<context>
    <name>TFramePanel</name>
    <message>
        <source>マスク</source>
        <translation>Mask</translation>
    </message>
    <message>
        <source>複製</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>クリックでこのノードを編集する。右クリックでメニュー</source>
        <translation>Click to edit this node. Right-click for the menu</translation>
    </message>
    <message>
        <source>ビューアに表示</source>
        <translation>Show in Viewer</translation>
    </message>
</context>
<context>
    <name>TFrameParameter</name>
    <message>
        <source>パラメーター</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>視点</source>
        <translation>Viewpoint</translation>
    </message>
    <message>
        <source>視点倍率</source>
        <translation>View scale</translation>
    </message>
    <message>
        <source>画像サイズ</source>
        <translation>Image size</translation>
    </message>
    <message>
        <source>拡大率</source>
        <translation>Magnification</translation>
    </message>
    <message>
        <source>演算方式</source>
        <translation>Fractal type</translation>
    </message>
    <message>
        <source>フラクタル演算方法</source>
        <translation>Fractal method</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は拡大率 %2 で 0 になります（%3 以上にしてください）</source>
        <translation>&apos;%1&apos; becomes 0 at magnification %2 (enter %3 or more)</translation>
    </message>
    <message>
        <source>実部</source>
        <translation>real part</translation>
    </message>
    <message>
        <source>虚部</source>
        <translation>imaginary part</translation>
    </message>
    <message>
        <source>画像の中心に来る点の%1。浮動小数点数。ビューアのクリックでも変わる</source>
        <translation>The %1 of the point at the picture’s centre. A floating-point number; a click in the viewer changes it too</translation>
    </message>
    <message>
        <source>画像の幅が複素平面で占める長さ。0 より大きい数。小さいほど拡大される（ホイールでも変わる）</source>
        <translation>The width of the picture in the complex plane. A number above 0; smaller zooms in (the wheel changes it too)</translation>
    </message>
    <message>
        <source>画像の幅（画素）。1 以上の整数</source>
        <translation>Picture width in pixels. An integer of 1 or more</translation>
    </message>
    <message>
        <source>画像の高さ（画素）。1 以上の整数</source>
        <translation>Picture height in pixels. An integer of 1 or more</translation>
    </message>
    <message>
        <source>描画する大きさ: 1/2 なら幅と高さを半分にして描画する（下描きを速くする）</source>
        <translation>Rendered size: 1/2 renders at half the width and height (a quicker draft)</translation>
    </message>
    <message>
        <source>マンデルブロ: 点が C、z は定数から始まる。ジュリア: z が点から始まり、C は定数</source>
        <translation>Mandelbrot: the point is C and z starts at the parameter. Julia: z starts at the point and C is the parameter</translation>
    </message>
    <message>
        <source>マンデルブロでは z の初期値、ジュリアでは式の定数 C。その%1（浮動小数点数）</source>
        <translation>Mandelbrot: the start value of z; Julia: the constant C of the formula. Its %1 (a floating-point number)</translation>
    </message>
    <message>
        <source>オン: 描画のたびに、視点倍率が 4 より 1 桁小さくなるごとに深さを 1000 ずつ上げる（設定した深さより大きいときだけ。プロジェクトの深さは変えない）</source>
        <translation>On: each render raises the depth by 1000 for every decade the scale lies below 4 (only when that exceeds the set depth; the project&apos;s depth is not changed)</translation>
    </message>
    <message>
        <source>深さ自動</source>
        <translation>Auto depth</translation>
    </message>
</context>
</TS>
