<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Every text of the program is written in its final form in the program itself;
     this catalogue carries only its language and the English plural rules. -->
<TS version="2.1" language="en_GB" sourcelanguage="en_GB">
</TS>
