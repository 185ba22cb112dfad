; Cassette: SAVE CAS: and LOAD CAS: (not yet written).
st_save:    jp err_syntax
st_load:    jp err_syntax
