<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>QFileDialog</name>
    <message>
        <source>Files of type:</source>
        <translation>Format:</translation>
    </message>
</context>
</TS>
