; RENUM [first [, step]]: to come.
st_renum:   jp err_syntax
