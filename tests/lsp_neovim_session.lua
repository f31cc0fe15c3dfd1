-- A Neovim session with its built-in LSP client against scenario_tool lsp, for
-- tests/lsp_neovim_test.cpp: opens SCENARIO_FILE, waits for the diagnostics, hovers the position of
-- line 24, asks for the outline, formats the buffer, and writes what it saw to SCENARIO_OUT, one
-- line each. Runs on Neovim 0.7 (start_client, formatting_sync) and later (format).
local tool = os.getenv('SCENARIO_TOOL')
local file = os.getenv('SCENARIO_FILE')
local out = io.open(os.getenv('SCENARIO_OUT'), 'w')
local function say(...) out:write(table.concat({...}, ' '), '\n') end

vim.cmd('edit ' .. vim.fn.fnameescape(file))
local buf = vim.api.nvim_get_current_buf()
local client_id = vim.lsp.start_client({
  name = 'scenario_tool',
  cmd = { tool, 'lsp' },
  root_dir = vim.fn.fnamemodify(file, ':h'),
})
vim.lsp.buf_attach_client(buf, client_id)

if not vim.wait(20000, function() return #vim.diagnostic.get(buf) > 0 end, 20) then
  say('no diagnostics')
end
for _, d in ipairs(vim.diagnostic.get(buf)) do
  local code = d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code) or ''
  say('diagnostic', d.lnum + 1, d.col + 1, d.end_col + 1, d.severity, code, d.message)
end

local params = { textDocument = { uri = vim.uri_from_bufnr(buf) } }
local hover_params = vim.tbl_extend('force', params, { position = { line = 23, character = 14 } })
for _, answer in pairs(vim.lsp.buf_request_sync(buf, 'textDocument/hover', hover_params, 10000) or {}) do
  local value = answer.result and answer.result.contents and answer.result.contents.value or ''
  say('hover', (value:gsub('\n', ' | ')))
end

for _, answer in pairs(vim.lsp.buf_request_sync(buf, 'textDocument/documentSymbol', params, 10000) or {}) do
  for _, section in ipairs(answer.result or {}) do
    say('symbol', section.name, #(section.children or {}))
    if section.children and section.children[1] then say('symbol', '  ' .. section.children[1].name) end
  end
end

if vim.lsp.buf.format then
  vim.lsp.buf.format({ timeout_ms = 10000 })
else
  vim.lsp.buf.formatting_sync(nil, 10000)
end
say('formatted', vim.api.nvim_buf_get_lines(buf, 3, 4, false)[1])
say('lines', vim.api.nvim_buf_line_count(buf), vim.bo[buf].fileformat)
out:close()
vim.lsp.stop_client(client_id)
vim.cmd('qall!')
