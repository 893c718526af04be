-- The language server in a real editor: Neovim (0.7 or newer), headless,
-- with its own LSP client.
--
--   VELT_AUTORE=path/to/velt-autore VELT_MONDO=world.ini \
--     nvim --headless -u NONE -i NONE -n -c "luafile neovim.lua"
--
-- Opens the world, which must be free of mistakes, with `velt-autore lsp`
-- attached; checks that the server publishes no diagnostic, that
-- go-to-definition on the link NORD=sala moves the cursor to the place's
-- NOMELUOGO, and that a title holding a character code page 850 lacks,
-- typed after an accented letter, is underlined exactly under that
-- character. Prints each failure; exits with status 0 when all held.
local autore = assert(os.getenv("VELT_AUTORE"), "VELT_AUTORE non impostato")
local mondo = assert(os.getenv("VELT_MONDO"), "VELT_MONDO non impostato")
local falliti = 0

local function controlla(vero, messaggio)
  if not vero then
    io.stdout:write("FALLITO: " .. messaggio .. "\n")
    falliti = falliti + 1
  end
end

-- Counts the diagnostics notifications as they arrive.
local pubblicate = 0
local gestore = vim.lsp.handlers["textDocument/publishDiagnostics"]
vim.lsp.handlers["textDocument/publishDiagnostics"] = function(...)
  pubblicate = pubblicate + 1
  return gestore(...)
end

local client = vim.lsp.start_client({
  name = "velt",
  cmd = { autore, "lsp" },
  root_dir = vim.fn.fnamemodify(mondo, ":p:h"),
})
controlla(client ~= nil, "il server non parte")
vim.cmd("edit " .. vim.fn.fnameescape(mondo))
vim.lsp.buf_attach_client(0, client)

controlla(vim.wait(10000, function() return pubblicate > 0 end, 50), "nessuna diagnostica pubblicata")
for _, d in ipairs(vim.diagnostic.get(0)) do
  controlla(false, string.format("diagnostica inattesa %d:%d %s", d.lnum + 1, d.col + 1, d.message))
end

-- The link to "sala" in [PuntatoriALuogo] leads to "NOMELUOGO=sala".
local function riga_con(testo)
  for n, riga in ipairs(vim.api.nvim_buf_get_lines(0, 0, -1, false)) do
    if riga == testo then return n end
  end
  return nil
end
local collegamento, definizione = riga_con("NORD=sala"), riga_con("NOMELUOGO=sala")
controlla(collegamento and definizione, "il mondo non ha NORD=sala e NOMELUOGO=sala")
if collegamento and definizione then
  vim.api.nvim_win_set_cursor(0, { collegamento, 6 })
  vim.lsp.buf.definition()
  local arrivato = vim.wait(10000, function()
    return vim.api.nvim_win_get_cursor(0)[1] ~= collegamento
  end, 50)
  local cursore = vim.api.nvim_win_get_cursor(0)
  controlla(arrivato and cursore[1] == definizione and cursore[2] == 10,
            string.format("la definizione porta a %d:%d, non a %d:10", cursore[1], cursore[2],
                          definizione))
end

-- A castle (U+1F3F0, two UTF-16 units) after "à": the server's columns are
-- UTF-16 units, which the editor turns into bytes of its own text.
local titolo = riga_con("SOPRANOME=L'ingresso")
controlla(titolo, "il mondo non ha SOPRANOME=L'ingresso")
if titolo then
  local prima = pubblicate
  vim.api.nvim_buf_set_lines(0, titolo - 1, titolo, false, { "SOPRANOME=Città 🏰 dei re" })
  controlla(vim.wait(10000, function() return pubblicate > prima and #vim.diagnostic.get(0) > 0 end, 50),
            "nessuna diagnostica dopo la modifica")
  local tutte = vim.diagnostic.get(0)
  controlla(#tutte == 1, #tutte .. " diagnostiche dopo la modifica, non una")
  local d = tutte[1]
  if d then
    -- "SOPRANOME=Città " is 17 bytes; the castle is 4 more.
    controlla(d.lnum == titolo - 1 and d.col == 17 and d.end_lnum == titolo - 1 and d.end_col == 21,
              string.format("la diagnostica va da %d:%d a %d:%d", d.lnum, d.col, d.end_lnum, d.end_col))
    controlla(d.severity == vim.diagnostic.severity.ERROR, "la diagnostica non è un errore")
    controlla(d.code == "carattere-mancante", "codice " .. tostring(d.code) .. ", non carattere-mancante")
    io.stdout:write(string.format("%d:%d %s [%s]\n", d.lnum + 1, d.col + 1, d.message, tostring(d.code)))
  end
end

vim.lsp.stop_client(client)
vim.cmd(falliti == 0 and "qa!" or "cq")
