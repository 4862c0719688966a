# Writes the page with the client area's controls that the markup program prints.
# usage: cmake -DNODE=node -DMARKUP=web_markup.js -DTEMPLATE=index.html -DPAGE=out.html -P write_page.cmake
execute_process(COMMAND ${NODE} ${MARKUP} OUTPUT_VARIABLE CLIENT_AREA COMMAND_ERROR_IS_FATAL ANY)
configure_file(${TEMPLATE} ${PAGE} @ONLY)
