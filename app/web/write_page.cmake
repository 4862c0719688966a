# Writes the page with the parts that the markup program prints from the window's layout: the
# title, the frame's attributes, the menu, the client area's controls and the page's own texts.
# usage: cmake -DNODE=node -DMARKUP=web_markup.js -DTEMPLATE=index.html -DPAGE=out.html -P write_page.cmake
foreach(part title frame menu client heading description ok)
    string(TOUPPER ${part} name)
    execute_process(COMMAND ${NODE} ${MARKUP} ${part} OUTPUT_VARIABLE PAGE_${name}
        COMMAND_ERROR_IS_FATAL ANY)
    string(STRIP "${PAGE_${name}}" PAGE_${name})
endforeach()
configure_file(${TEMPLATE} ${PAGE} @ONLY)
