<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CountLabel</name>
    <message numerus="yes">
        <source>%n items — type to search</source>
        <translation>
            <numerusform>%n item — type to search</numerusform>
            <numerusform>%n items — type to search</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n results</source>
        <translation>
            <numerusform>%n result</numerusform>
            <numerusform>%n results</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PrintCommand</name>
    <message numerus="yes">
        <source>the index holds %n items here; searching the index alone</source>
        <translation>
            <numerusform>the index holds %n item here; searching the index alone</numerusform>
            <numerusform>the index holds %n items here; searching the index alone</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ResultText</name>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
        </translation>
    </message>
</context>
</TS>
