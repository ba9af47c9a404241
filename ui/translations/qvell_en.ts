<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>QObject</name>
    <message>
        <source>プロジェクトの変更を保存しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>「%1」への変更を保存しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存しない</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QVEditSession</name>
    <message>
        <source>最近のファイルはありません</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>保存を中止</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFormViewer</name>
    <message>
        <source>ライブズーム %1 fps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>描画完了 座標</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFrameEffector</name>
    <message>
        <source>&apos;%1&apos; は別の項目の入力値 %2 と同じです</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
