# Writes sw.js from its template: @FILES@ becomes the list of the page's
# files, @VERSION@ a hash of their contents.
set(all "")
set(list "")
foreach(file IN LISTS FILES)
  file(SHA256 ${PAGE_DIR}/${file} hash)
  string(APPEND all "${hash}")
  string(APPEND list "  \"./${file}\",\n")
endforeach()
string(SHA256 version "${all}")
string(SUBSTRING "${version}" 0 16 VERSION)
set(FILES "${list}")
configure_file(${TEMPLATE} ${PAGE_DIR}/sw.js @ONLY)
