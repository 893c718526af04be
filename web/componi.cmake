# Inlines the style, the page script and the engine into the HTML shell.
# Usage: cmake -DSORGENTI=web -DMOTORE=velt.js -DPAGINA=velt.html -P componi.cmake
cmake_minimum_required(VERSION 3.16)
file(READ ${SORGENTI}/pagina.html pagina)
file(READ ${SORGENTI}/pagina.css stile)
file(READ ${SORGENTI}/pagina.js script)
file(READ ${MOTORE} motore)
# A script's text ends at the first "</script"; the engine never needs one.
string(REPLACE "</script" "<\\/script" motore "${motore}")
string(REPLACE "/*@STILE@*/" "${stile}" pagina "${pagina}")
string(REPLACE "/*@MOTORE@*/" "${motore}" pagina "${pagina}")
string(REPLACE "/*@PAGINA@*/" "${script}" pagina "${pagina}")
file(WRITE ${PAGINA} "${pagina}")
