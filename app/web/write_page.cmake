# Writes a language's page and manifest with the parts that the markup program prints from the
# window's layout and the catalogue: the title, the frame's attributes, the menu, the client area's
# controls, the page's own texts and the pages of the other languages.
# usage: cmake -DNODE=node -DMARKUP=web_markup.js -DLANGUAGE=fr -DSOURCE=app/web -DSITE=site
#            -P write_page.cmake
foreach(part title frame menu client heading description ok name summary language suffix pages)
    string(TOUPPER ${part} name)
    execute_process(COMMAND ${NODE} ${MARKUP} ${part} ${LANGUAGE} OUTPUT_VARIABLE PAGE_${name}
        COMMAND_ERROR_IS_FATAL ANY)
    string(STRIP "${PAGE_${name}}" PAGE_${name})
endforeach()
configure_file(${SOURCE}/index.html ${SITE}/index${PAGE_SUFFIX}.html @ONLY)
configure_file(${SOURCE}/manifest.webmanifest ${SITE}/manifest${PAGE_SUFFIX}.webmanifest @ONLY)
