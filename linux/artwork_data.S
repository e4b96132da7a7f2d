/* The three artworks, built into the program as their PNG files. */
    .section .rodata
    .balign 16
    .global velmor_face_png, velmor_face_png_end
velmor_face_png:
    .incbin "face.png"
velmor_face_png_end:
    .balign 16
    .global velmor_reference_png, velmor_reference_png_end
velmor_reference_png:
    .incbin "reference.png"
velmor_reference_png_end:
    .balign 16
    .global velmor_crystal_png, velmor_crystal_png_end
velmor_crystal_png:
    .incbin "crystal.png"
velmor_crystal_png_end:
    .section .note.GNU-stack, "", @progbits
